// How far a run is, as the measurement window shows it: the phase, "Set k of n", the wells
// read of those selected, the time since the start, an estimate of the time left and one
// overall fraction for the progress bar.
#pragma once

#include <QString>

#include "kernel/RunTiming.h"

namespace vantorix {

struct RunProgressInput {
    RunPhase phase = RunPhase::Idle;
    int set = 1, sets = 1;  // position of the set being measured, 1..sets
    int wellsRead = 0, wellsSelected = 0;
    qint64 elapsed_ms = 0;       // since the run started
    qint64 phaseElapsed_ms = 0;  // since the phase started
    qint64 delay_ms = 0;         // the pause between sets
};

struct RunProgressView {
    QString phase, set, wells, elapsed, left;
    int permille = 0;  // 0..1000
};

RunProgressView runProgressView(const RunProgressInput& in);

// "0:07", "12:05", "1:02:03".
QString durationText(qint64 ms);

}  // namespace vantorix
