#include "simulator/PairHarness.h"

namespace vantorix::sim {

PairHarness::PairHarness(SimulatorConfig config, int baud)
    : line_(scheduler_, baud), instrument_(scheduler_, line_.instrumentLink(), std::move(config)) {
    line_.setInstrumentSink(
        [this](QByteArrayView bytes, qint64 now_ms) { instrument_.feed(bytes, now_ms); });
}

bool PairHarness::sendLine(const QByteArray& text) {
    if (!port().isOpen() && !port().open()) return false;
    return port().write(text + "\r\n");
}

bool PairHarness::runUntil(const std::function<bool()>& done, qint64 limit_ms) {
    const qint64 limit = scheduler_.now_ms() + limit_ms;
    while (!done()) {
        const qint64 next = scheduler_.nextDeadline();
        if (next < 0 || next > limit) {
            scheduler_.runUntil(limit);
            return done();
        }
        scheduler_.runNext();
    }
    return true;
}

bool PairHarness::runUntilReceived(const QByteArray& needle, qint64 limit_ms) {
    return runUntil([&] { return port().waiting().contains(needle); }, limit_ms);
}

}  // namespace vantorix::sim
