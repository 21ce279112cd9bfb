#include "simulator/MessageWriter.h"

#include <algorithm>
#include <cstring>

namespace vantorix::sim {

MessageWriter::MessageWriter(Scheduler& scheduler, InstrumentLink& link,
                             const SimulatorFaults& faults, quint32 seed)
    : scheduler_(scheduler), link_(link), faults_(faults), rng_(seed ^ 0x5eed5eedu) {}

MessageWriter::~MessageWriter() {
    discardPending();
}

int MessageWriter::random(int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(rng_);
}

QByteArray MessageWriter::noise() {
    QByteArray bytes;
    const int count = 1 + random(faults_.garbage);
    while (bytes.size() < count) {
        const char c = static_cast<char>(random(256));
        if (!std::memchr(kProtocolBytes, c, sizeof kProtocolBytes)) bytes.append(c);
    }
    return bytes;
}

void MessageWriter::write(const QByteArray& message, qint64 now_ms) {
    const QByteArray bytes = faults_.garbage > 0 ? noise() + message : message;
    if (!faults_.split || bytes.size() < 2) {
        enqueue({now_ms, bytes}, now_ms);
        return;
    }
    // One to three cuts at random points, each later piece after a short gap.
    std::vector<int> cuts;
    for (int i = 1 + random(3); i > 0; --i) cuts.push_back(1 + random(int(bytes.size()) - 1));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cuts.push_back(int(bytes.size()));
    qint64 due = std::max(now_ms, lastDue_ms_);
    int from = 0;
    for (int cut : cuts) {
        enqueue({due, bytes.mid(from, cut - from)}, now_ms);
        due += kMinSplitGap_ms + random(int(kMaxSplitGap_ms - kMinSplitGap_ms));
        from = cut;
    }
}

void MessageWriter::hangUp(qint64 now_ms) {
    enqueue({now_ms, {}, true}, now_ms);
}

void MessageWriter::enqueue(Piece piece, qint64 now_ms) {
    piece.due_ms = std::max(piece.due_ms, lastDue_ms_);
    lastDue_ms_ = piece.due_ms;
    queue_.push_back(std::move(piece));
    pump(now_ms);
}

void MessageWriter::pump(qint64 now_ms) {
    while (!queue_.empty() && queue_.front().due_ms <= now_ms) {
        Piece piece = std::move(queue_.front());
        queue_.pop_front();
        if (piece.hangUp) {
            link_.hangUp();
        } else {
            link_.send(piece.bytes);
        }
    }
    if (queue_.empty() || wake_ != 0) return;
    wake_ = scheduler_.callAt(queue_.front().due_ms, [this] {
        wake_ = 0;
        pump(scheduler_.now_ms());
    });
}

void MessageWriter::discardPending() {
    queue_.clear();
    if (wake_ != 0) scheduler_.cancel(wake_);
    wake_ = 0;
}

}  // namespace vantorix::sim
