// Applying a confirmed communication choice, and the FIFO setting of old platforms.
#include "serial/CommunicationCommand.h"

#include <gtest/gtest.h>

#include "simulator/PairHarness.h"
#include "support/TestSupport.h"

namespace vantorix {
namespace {

TEST(CommunicationCommand, FifoSettingOnlyUpToVersion311) {
    struct Case {
        PlatformVersion version;
        bool written;
    };
    const Case cases[] = {{{2, 99}, true},          {{3, 10}, true},       {{3, 11}, true},
                          {{3, 12}, false},         {{4, 0}, false},       {{10, 0}, false},
                          {{-1, -1, false}, false}, {{0, 0, false}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version.major << "." << c.version.minor);
        MemorySettingsStore system;
        bool opened = false;
        DisableComFifo(2, c.version, [&]() -> SettingsStore& {
            opened = true;
            return system;
        });
        EXPECT_EQ(opened, c.written);
        EXPECT_EQ(system.contains("386Enh", "COM2FIFO"), c.written);
        if (c.written) {
            EXPECT_EQ(system.value("386Enh", "COM2FIFO"), "0");
        }
    }
    EXPECT_EQ(comFifoKey(12), "COM12FIFO");
    // Whatever this machine is, it is no 16-bit Windows.
    EXPECT_FALSE(platformWantsComFifoSetting(PlatformVersion::current()));
}

TEST(CommunicationCommand, AppliesWhatDiffersAndStoresWhatThePortReports) {
    sim::PairHarness pair;
    auto& port = pair.port();
    port.setSettings("2400,n,8,1");
    port.setPortNumber(1);
    ASSERT_TRUE(port.open());
    MemorySettingsStore store;
    bool burst = false;
    std::vector<int> changes;
    auto changed = [&](int n) { changes.push_back(n); };

    applyCommunicationChoice({1, "2400,N,8,1", false, ""}, port, burst, store, changed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(changes.empty());
    const std::vector<MemorySettingsStore::Access> expected{
        {"Communication", "ComPort", "1"},
        {"Communication", "Settings", "2400,N,8,1"},
        {"Communication", "BurstMode", "False"},
        {"Communication", "PortName", ""}};
    EXPECT_EQ(store.writes(), expected);

    applyCommunicationChoice({3, "9600,E,7,2", true, "/dev/pts/9"}, port, burst, store, changed);
    EXPECT_EQ(changes, std::vector<int>{3});
    EXPECT_EQ(port.portNumber(), 3);
    EXPECT_EQ(port.settings(), "9600,E,7,2");
    EXPECT_EQ(port.portName(), "/dev/pts/9");
    EXPECT_TRUE(burst);
    EXPECT_EQ(store.value("Communication", "ComPort"), "3");
    EXPECT_EQ(store.value("Communication", "BurstMode"), "True");
    EXPECT_EQ(store.value("Communication", "PortName"), "/dev/pts/9");
}

}  // namespace
}  // namespace vantorix
