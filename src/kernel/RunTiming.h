// The phases of a run and the pauses the instrument needs while the program talks to it. The
// conversation waits for these pauses; the progress bar estimates the options download from
// the same numbers, so the two cannot drift apart.
#pragma once

#include <QtGlobal>

#include "kernel/RunOptions.h"

namespace vantorix {

enum class RunPhase { Idle, Handshake, Options, Waiting, Receiving, Delay };

// After each "START" before looking for the instrument's answer.
constexpr qint64 kHandshakePause_ms = 100;
// Before the "{" that opens the options block.
constexpr qint64 kBlockLeadPause_ms = 500;
// After each well's line, and before each of the two closing groups of parameter lines.
constexpr qint64 kLinePause_ms = 100;
constexpr int kClosingLinePauses = 2;
// After each plate row of well lines.
constexpr qint64 kRowPause_ms = 700;
// How long the instrument may take to accept the block with "X".
constexpr qint64 kAckTimeout_ms = 5000;
// After a refused block ("Z") before contacting the instrument again.
constexpr qint64 kRecoveryPause_ms = 500;

// The options block takes a known time: the sum of its pauses (the lines themselves take no
// measurable time on the line).
constexpr qint64 optionsDownload_ms() {
    return kBlockLeadPause_ms + kWellCount * kLinePause_ms + kPlateRows * kRowPause_ms +
           kClosingLinePauses * kLinePause_ms;
}
static_assert(optionsDownload_ms() == 15900, "the options block takes 15.9 s on the line");

}  // namespace vantorix
