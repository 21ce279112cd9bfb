// The instrument's output in order, with the output faults applied: noise bytes before each
// message ("garbage") and messages cut into pieces written with gaps between ("split").
// Pieces that must wait are sent from scheduler wake-ups; nothing overtakes anything.
#pragma once

#include <QByteArray>
#include <deque>
#include <random>

#include "kernel/Scheduler.h"
#include "simulator/InstrumentLink.h"
#include "simulator/SimulatorFaults.h"

namespace vantorix::sim {

class MessageWriter {
  public:
    // Bytes noise never contains: they would read as part of the conversation.
    static constexpr char kProtocolBytes[] = "<>[]&XxOoGSZ{}\r\n";
    static constexpr qint64 kMinSplitGap_ms = 20;
    static constexpr qint64 kMaxSplitGap_ms = 250;

    MessageWriter(Scheduler& scheduler, InstrumentLink& link, const SimulatorFaults& faults,
                  quint32 seed);
    ~MessageWriter();
    MessageWriter(const MessageWriter&) = delete;
    MessageWriter& operator=(const MessageWriter&) = delete;

    // Sends one message (after anything still waiting to go).
    void write(const QByteArray& message, qint64 now_ms);
    // Hangs up after everything written so far.
    void hangUp(qint64 now_ms);
    // Forgets what has not gone out yet.
    void discardPending();
    // A number from the fault generator, in [0, bound).
    int random(int bound);

  private:
    struct Piece {
        qint64 due_ms;
        QByteArray bytes;
        bool hangUp = false;
    };
    void enqueue(Piece piece, qint64 now_ms);
    void pump(qint64 now_ms);
    QByteArray noise();

    Scheduler& scheduler_;
    InstrumentLink& link_;
    const SimulatorFaults& faults_;
    std::mt19937 rng_;
    std::deque<Piece> queue_;
    qint64 lastDue_ms_ = 0;
    Scheduler::TimerId wake_ = 0;
};

}  // namespace vantorix::sim
