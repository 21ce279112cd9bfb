#include "kernel/Subscription.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

using namespace vantorix;

TEST(Subscription, EveryListenerIsToldUntilItsTokenGoes) {
    Subscribers<const QString&> failed;
    QStringList heard;
    Subscription a = failed.add([&](const QString& r) { heard << "a:" + r; });
    std::optional<Subscription> b = failed.add([&](const QString& r) { heard << "b:" + r; });
    failed.notify("one");
    b.reset();
    Subscription moved = std::move(a);  // the subscription travels with the token
    failed.notify("two");
    moved = Subscription();  // assigning over ends it
    failed.notify("three");
    EXPECT_EQ(heard, (QStringList{"a:one", "b:one", "a:two"}));
    EXPECT_TRUE(failed.empty());
}

// A listener that drops its own token, a later one's, or the source itself while it runs.
TEST(Subscription, ListenersMayUnsubscribeOrDestroyTheSourceWhileNotified) {
    auto ready = std::make_unique<Subscribers<>>();
    std::vector<int> calls;
    Subscription first, second, third;
    first = ready->add([&] {
        calls.push_back(1);
        first.reset();
        second.reset();
    });
    second = ready->add([&] { calls.push_back(2); });
    third = ready->add([&] {
        calls.push_back(3);
        ready.reset();
    });
    ready->notify();
    EXPECT_EQ(calls, (std::vector<int>{1, 3}));
    EXPECT_FALSE(first.active());
    EXPECT_TRUE(third.active());
    third.reset();  // its source is gone: nothing to tell
}
