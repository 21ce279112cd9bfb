// The simulated instrument's end of the line: what it needs from whoever hosts it (the pair
// harness's in-memory line, or a pseudo-terminal).
#pragma once

#include <QByteArray>

namespace vantorix::sim {

class InstrumentLink {
  public:
    virtual ~InstrumentLink() = default;
    // Hands the bytes to the line in one write; the line carries them at its own speed.
    virtual void send(const QByteArray& bytes) = 0;
    // Closes the line once the bytes already sent have gone out (a pulled cable).
    virtual void hangUp() = 0;
    // Changes the line speed, both ways, for the bytes written from now on (the command shell
    // talks at 9600 baud). A host without pacing ignores it.
    virtual void setBaud(int baud) { (void)baud; }
};

}  // namespace vantorix::sim
