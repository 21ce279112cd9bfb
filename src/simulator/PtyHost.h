// Puts a simulated instrument on a new pseudo-terminal, so that a program (or a person with
// a terminal program) can talk to it as to a real serial port. Bytes are paced at the line
// speed in both directions, since a pseudo-terminal itself delivers them at once. Needs a
// running Qt event loop; usable from inside a Qt program:
//
//   PtyHost host(config);
//   if (!host.start(&error)) ...;
//   port.setPortName(host.slavePath());    // e.g. "/dev/pts/7"
//   ...
//   host.stop();                           // also done by the destructor
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "simulator/SimulatorConfig.h"

namespace vantorix::sim {

class SimulatedInstrument;

class PtyHost {
  public:
    explicit PtyHost(SimulatorConfig config = {}, int baud = 2400);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Opens a new pseudo-terminal and starts a fresh instrument on it; false with a reason
    // when the system has none to give. Restarting a running host first stops it.
    bool start(QString* error = nullptr);
    // The terminal's device path for the program to open; empty when stopped.
    QString slavePath() const;
    // Closes the terminal: a program that has it open sees its far end gone.
    void stop();
    bool isRunning() const;
    // The instrument on the terminal (null when stopped), for tests that look inside it.
    SimulatedInstrument* instrument() const;
    // Called (once, after the host has stopped) when the instrument hangs up the line by
    // itself, as the drop-out fault does.
    void setHungUpHandler(std::function<void()> handler);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace vantorix::sim
