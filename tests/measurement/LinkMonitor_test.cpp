#include "measurement/LinkMonitor.h"

#include <gtest/gtest.h>

using namespace vantorix;
using Picture = LinkMonitorOutput::Picture;

TEST(LinkMonitor, SweepsBackAndForthWhileTheLinkIsAlive) {
    LinkMonitorInput in;
    in.timer_s = 100;
    in.LinkActivityTime = 100;
    std::vector<int> frames;
    for (int tick = 0; tick < 13; ++tick) {
        const LinkMonitorOutput out = linkMonitorTick(in);
        EXPECT_EQ(out.picture, Picture::ComOK);
        frames.push_back(out.frame);
        in.ComStatusStep = out.ComStatusStep;
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 0, 0, 1}));
}

TEST(LinkMonitor, BlinksTheQuestionMarkAfterSixSecondsOfSilence) {
    LinkMonitorInput in;
    in.LinkActivityTime = 100;
    in.timer_s = 106.0;  // exactly six seconds: still alive
    EXPECT_EQ(linkMonitorTick(in).picture, Picture::ComOK);
    in.timer_s = 106.1;
    std::vector<int> frames;
    for (int tick = 0; tick < 4; ++tick) {
        const LinkMonitorOutput out = linkMonitorTick(in);
        EXPECT_EQ(out.picture, Picture::ComQuestion);
        frames.push_back(out.frame);
        in.ComStatusStep = out.ComStatusStep;
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 0, 1, 0}));
    // Activity again from a step the blinking left at 1: the sweep goes on to frame 2.
    in.ComStatusStep = 1;
    in.LinkActivityTime = 106;
    EXPECT_EQ(linkMonitorTick(in).frame, 2);
}

TEST(LinkMonitor, FollowsTheRunAndTheDocument) {
    const struct {
        bool runActive, captionIsStart, document;
        bool firmwareEnabled, indicator, excel;
    } cases[] = {
        {false, true, false, true, false, false},
        {true, false, false, false, true, false},
        {false, false, true, false, false, true},  // run unwinding: caption still "&Cancel"
        {true, true, true, false, true, true},
    };
    for (const auto& c : cases) {
        LinkMonitorInput in;
        in.RunActive = c.runActive;
        in.startCaptionIsStart = c.captionIsStart;
        in.documentRecognised = c.document;
        const LinkMonitorOutput out = linkMonitorTick(in);
        EXPECT_EQ(out.firmwareMenuEnabled, c.firmwareEnabled);
        EXPECT_EQ(out.runIndicatorVisible, c.indicator);
        EXPECT_EQ(out.excelEnabled, c.excel);
    }
}
