// Arbitrary instrument bytes, in arbitrary read splits and at advancing times, fed straight to
// the conversation's reception of a dataset (as after an accepted options block). The
// conversation must end by itself (silence polls, then the question answered Cancel) without
// crashing, and every reading it reports must address a well of the plate.
#include <algorithm>
#include <cstdint>

#include "measurement/InstrumentConversation.h"

using namespace vantorix;

namespace {

// Takes every output; false when one breaks a rule. Questions are answered Cancel.
bool drain(InstrumentConversation& conv, qint64 now) {
    bool asked = false;
    while (auto out = conv.takeOutput()) {
        if (out->kind == ConversationOutput::Kind::Reading &&
            (out->row < 1 || out->row > 8 || out->column < 1 || out->column > 12))
            return false;
        asked = asked || out->kind == ConversationOutput::Kind::Question;
    }
    if (asked) {
        conv.answer(false, now);
        return drain(conv, now);
    }
    return true;
}

// Runs every deadline up to `until`.
bool advanceTo(InstrumentConversation& conv, qint64& now, qint64 until) {
    for (int steps = 0; steps < 10'000; ++steps) {
        const auto next = conv.nextDeadline();
        if (!next || *next > until) break;
        now = std::max(now, *next);
        conv.advance(now);
        if (!drain(conv, now)) return false;
    }
    now = std::max(now, until);
    return true;
}

}  // namespace

// AddressSanitizer's defaults (fill every new block, keep 256 MB of freed memory in
// quarantine, record deep allocation stacks) cost more than the conversation itself. Bounds
// checking is unchanged. ASAN_OPTIONS still overrides these.
extern "C" const char* __asan_default_options() {
    return "max_malloc_fill_size=0:quarantine_size_mb=16:malloc_context_size=4";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunState run;
    const RunOptions options;
    qint64 now = 0;
    InstrumentConversation conv(run, options, now);
    conv.beginReception(now);
    if (!drain(conv, now)) __builtin_trap();
    // The first byte of each piece gives the length of the read that follows it (low six bits)
    // and the time before it arrives (high two bits): at once, a byte's time, a pause, a stall.
    constexpr qint64 kGaps_ms[] = {0, 37, 1500, 5200};
    for (size_t i = 0; i < size && !conv.ended();) {
        const size_t len = 1 + data[i] % 64;
        const size_t start = i + 1;
        const size_t n = std::min(len, size - std::min(size, start));
        if (!advanceTo(conv, now, now + kGaps_ms[data[i] >> 6])) __builtin_trap();
        conv.feed(QByteArray(reinterpret_cast<const char*>(data + start), qsizetype(n)), now);
        conv.advance(now);
        if (!drain(conv, now)) __builtin_trap();
        i = start + n;
    }
    // Then silence: the polls, the question, and the end.
    if (!advanceTo(conv, now, now + 3'600'000)) __builtin_trap();
    if (!conv.ended()) __builtin_trap();  // a reception that never ends is a fault
    return 0;
}
