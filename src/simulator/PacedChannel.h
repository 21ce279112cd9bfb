// One direction of a serial line carried at line speed: a byte takes bitsPerByte / baud
// seconds (at 2400 baud with start and stop bits, about 4.17 ms), and bytes written while
// the line is busy queue behind those in flight. Each byte reaches the sink at its arrival
// time; bytes due at the same wake-up are handed over together.
#pragma once

#include <QByteArray>
#include <deque>
#include <functional>

#include "kernel/Scheduler.h"

namespace vantorix::sim {

class PacedChannel {
  public:
    using Sink = std::function<void(const QByteArray& bytes, qint64 now_ms)>;

    PacedChannel(Scheduler& scheduler, int baud, Sink sink, int bitsPerByte = 10);
    ~PacedChannel();
    PacedChannel(const PacedChannel&) = delete;
    PacedChannel& operator=(const PacedChannel&) = delete;

    void send(const QByteArray& bytes);
    // Drops the bytes still in flight.
    void clear();
    // When the last byte written so far arrives (now when nothing is in flight).
    qint64 drainedAt_ms() const;
    qint64 byteTime_ns() const { return byteTime_ns_; }
    // Bytes sent from now on travel at the new speed; those in flight keep their times.
    void setBaud(int baud);

  private:
    struct InFlight {
        qint64 arrival_ms;
        char byte;
    };
    void pump();

    Scheduler& scheduler_;
    Sink sink_;
    int bitsPerByte_;
    qint64 byteTime_ns_;
    qint64 busyUntil_ns_ = 0;
    std::deque<InFlight> inFlight_;
    Scheduler::TimerId wake_ = 0;
};

}  // namespace vantorix::sim
