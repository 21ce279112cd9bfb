// The link monitor's tick: from the run state and the last sign of life on the line, which
// picture is in front, whether the firmware menu entry and "Save to Excel" are enabled, and
// whether the run indicator shows. The window calls it every 100 ms.
#pragma once

#include <QtGlobal>

namespace vantorix {

struct LinkMonitorInput {
    double timer_s = 0;           // the clock now, in seconds
    qint64 LinkActivityTime = 0;  // whole seconds of the last sign of life
    bool RunActive = false;
    bool startCaptionIsStart = true;  // cmdStartCancel reads "&Start"
    bool documentRecognised = false;  // the document was read from a data file of this program
    qint16 ComStatusStep = 0;
};

struct LinkMonitorOutput {
    enum class Picture { ComOK, ComQuestion };
    Picture picture = Picture::ComOK;
    int frame = 0;  // picComOK 0-6 or picComQuestion 0-1
    qint16 ComStatusStep = 0;
    bool firmwareMenuEnabled = true;
    bool runIndicatorVisible = false;
    bool excelEnabled = false;
};

// Seconds of silence after which the question mark blinks.
constexpr double kLinkAliveWindow_s = 6.0;

LinkMonitorOutput linkMonitorTick(const LinkMonitorInput& in);

}  // namespace vantorix
