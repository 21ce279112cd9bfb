// What a run knows of itself while it goes on: whether it measures, which sets, and the times of
// the last signs of life on the line. The run (RunSequence) owns it and its conversation keeps
// it current; windows read it.
#pragma once

#include <QtGlobal>

namespace vantorix {

enum class RunStage {
    Stopped,    // no run, or the run was cancelled or lost its line and is unwinding
    Starting,   // Start was pressed: the file is being named, the instrument not yet contacted
    Measuring,  // the conversation with the instrument goes on
};

struct RunState {
    RunStage stage = RunStage::Stopped;
    qint16 firstSet = 1;
    qint16 lastSet = 1;
    qint16 set = 1;  // the set being measured
    // The run's sets have been emptied for its readings. Until then (while the instrument is
    // being contacted) the document still holds the previous readings.
    bool setsCleared = false;
    // Seconds on the monotonic clock; startTime is -1 before the run's first reading.
    qint64 startTime = -1;
    qint64 silenceTime = 0;
    qint64 linkActivityTime = 0;

    bool measuring() const { return stage == RunStage::Measuring; }
    bool stopped() const { return stage == RunStage::Stopped; }
    int plannedSets() const { return lastSet - firstSet + 1; }
};

}  // namespace vantorix
