#include "kernel/Scheduler.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>
#include <vector>

using namespace vantorix;

TEST(VirtualScheduler, RunsDeadlinesInOrderTiesAsScheduled) {
    VirtualScheduler s(1000);
    std::vector<int> order;
    s.callAt(1500, [&] { order.push_back(3); });
    s.callAt(1200, [&] { order.push_back(1); });
    s.callAt(1200, [&] { order.push_back(2); });
    s.callAt(500, [&] { order.push_back(0); });  // already due: runs at "now"
    const auto dropped = s.callAfter(100, [&] { order.push_back(99); });
    s.cancel(dropped);
    s.cancel(dropped);  // spent ids are ignored
    EXPECT_EQ(s.nextDeadline(), 1000);
    EXPECT_EQ(s.runUntil(1300), 3);
    EXPECT_EQ(s.now_ms(), 1300);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(s.runNext());
    EXPECT_EQ(s.now_ms(), 1500);
    EXPECT_FALSE(s.runNext());
    EXPECT_TRUE(s.idle());
    EXPECT_EQ(s.nowSeconds(), 1);
}

TEST(VirtualScheduler, CallbacksMayScheduleAndCancel) {
    VirtualScheduler s;
    int ticks = 0;
    std::function<void()> tick = [&] {
        if (++ticks < 5) s.callAfter(4000, tick);
    };
    s.callAfter(4000, tick);
    Scheduler::TimerId victim = s.callAt(9000, [&] { ticks += 100; });
    s.callAt(8500, [&] { s.cancel(victim); });
    EXPECT_TRUE(s.runUntil([&] { return ticks == 5; }));
    EXPECT_EQ(s.now_ms(), 20000);
    EXPECT_EQ(ticks, 5);
    EXPECT_FALSE(s.runUntil([] { return false; }));  // nothing left to run
}

TEST(QtScheduler, FiresOnTheEventLoopAndCancels) {
    test::ensureApp();
    QtScheduler s;
    const qint64 start = s.now_ms();
    bool fired = false, cancelled = false;
    s.callAfter(30, [&] { fired = true; });
    s.cancel(s.callAfter(10, [&] { cancelled = true; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired; }, 2000));
    EXPECT_GE(s.now_ms() - start, 30);
    EXPECT_FALSE(cancelled);
}
