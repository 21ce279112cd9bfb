// One program of the simulated instrument (the measurement program; later its command
// shell). The instrument hands every received byte to the mode that is running.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace vantorix::sim {

class InstrumentMode {
  public:
    virtual ~InstrumentMode() = default;
    // Bytes that arrived at now_ms.
    virtual void feed(QByteArrayView bytes, qint64 now_ms) = 0;
};

}  // namespace vantorix::sim
