#include "simulator/PacedChannel.h"

#include <algorithm>

namespace vantorix::sim {

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
}

PacedChannel::PacedChannel(Scheduler& scheduler, int baud, Sink sink, int bitsPerByte)
    : scheduler_(scheduler),
      sink_(std::move(sink)),
      bitsPerByte_(bitsPerByte),
      byteTime_ns_(qint64(bitsPerByte) * 1'000'000'000 / std::max(baud, 1)) {}

void PacedChannel::setBaud(int baud) {
    byteTime_ns_ = qint64(bitsPerByte_) * 1'000'000'000 / std::max(baud, 1);
}

PacedChannel::~PacedChannel() {
    clear();
}

void PacedChannel::send(const QByteArray& bytes) {
    busyUntil_ns_ = std::max(busyUntil_ns_, scheduler_.now_ms() * kNsPerMs);
    for (char c : bytes) {
        busyUntil_ns_ += byteTime_ns_;
        // A byte is there in the first whole millisecond after its last bit.
        inFlight_.push_back({(busyUntil_ns_ + kNsPerMs - 1) / kNsPerMs, c});
    }
    pump();
}

void PacedChannel::clear() {
    inFlight_.clear();
    if (wake_ != 0) scheduler_.cancel(wake_);
    wake_ = 0;
}

qint64 PacedChannel::drainedAt_ms() const {
    return inFlight_.empty() ? scheduler_.now_ms() : inFlight_.back().arrival_ms;
}

void PacedChannel::pump() {
    const qint64 now = scheduler_.now_ms();
    QByteArray due;
    while (!inFlight_.empty() && inFlight_.front().arrival_ms <= now) {
        due.append(inFlight_.front().byte);
        inFlight_.pop_front();
    }
    if (!inFlight_.empty() && wake_ == 0) {
        wake_ = scheduler_.callAt(inFlight_.front().arrival_ms, [this] {
            wake_ = 0;
            pump();
        });
    }
    // Last: the sink may write to this channel again or clear it.
    if (!due.isEmpty()) sink_(due, now);
}

}  // namespace vantorix::sim
