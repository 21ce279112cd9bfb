#include "measurement/LinkMonitor.h"

namespace vantorix {

LinkMonitorOutput linkMonitorTick(const LinkMonitorInput& in) {
    LinkMonitorOutput out;
    out.firmwareMenuEnabled = in.startCaptionIsStart && !in.RunActive;
    out.runIndicatorVisible = in.RunActive;
    const double elapsed = in.timer_s - double(in.LinkActivityTime);
    const qint16 s = in.ComStatusStep;
    if (elapsed <= kLinkAliveWindow_s) {
        // A back-and-forth sweep: frames 1 2 3 4 5 5 4 3 2 1 0 0, 1.2 s a cycle.
        out.picture = LinkMonitorOutput::Picture::ComOK;
        if (s >= 0 && s <= 4) {
            out.ComStatusStep = s + 1;
            out.frame = s + 1;
        } else if (s >= 5 && s <= 10) {
            out.ComStatusStep = s + 1;
            out.frame = 11 - (s + 1);
        } else {
            out.ComStatusStep = 0;
            out.frame = 0;
        }
    } else {
        out.picture = LinkMonitorOutput::Picture::ComQuestion;
        out.ComStatusStep = s != 0 ? 0 : 1;
        out.frame = out.ComStatusStep;
    }
    out.excelEnabled = in.documentRecognised;
    return out;
}

}  // namespace vantorix
