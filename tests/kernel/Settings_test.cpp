#include "kernel/Settings.h"
#include "kernel/SettingsLifecycle.h"
#include "options/WellSelection.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <chrono>
#include <future>

#include "support/TestSupport.h"

using namespace vantorix;

namespace {

QStringList keysOf(const std::vector<MemorySettingsStore::Access>& log) {
    QStringList keys;
    for (const auto& a : log) keys << a.section + u'/' + a.key;
    return keys;
}

QStringList wellKeys() {
    QStringList keys;
    for (int i = 0; i < kWellCount; ++i) keys << QStringLiteral("Options/Well%1").arg(i);
    return keys;
}

}  // namespace

TEST(Settings, FirstStartWithEmptyStoreGivesTheDefaults) {
    const MemorySettingsStore store;
    EXPECT_EQ(loadCommunication(store), (CommunicationSettings{1, "2400,n,8,1", false, {}}));
    const RunOptions o = loadOptions(store);
    EXPECT_EQ(selectedCount(o.SelectedWells), kWellCount);
    EXPECT_FALSE(o.RepeatMode);
    // Presamples, Postsamples, pumps 1 and 2, Dwell, PostInjectDelay, priming 1 and 2, Reaction,
    // Repeats, Delay, Sensitive.
    EXPECT_EQ((std::vector<int>{o.Presamples, o.Postsamples, o.Pump1Volume, o.Pump2Volume, o.Dwell,
                                o.PostInjectDelay, o.Prime1, o.Prime2, o.Reaction, o.Repeats,
                                o.Delay, o.Sensitive}),
              (std::vector<int>{0, 20, 100, 100, 500, 0, 0, 0, 1, 1, 0, 0}));
}

TEST(Settings, OptionsSurviveARestartExceptPriming) {
    RunOptions o;
    o.SelectedWells[1][2] = false;  // B3 = Well14
    o.Postsamples = 7;
    o.Pump1Volume = 150;
    o.Dwell = 12;
    o.RepeatMode = true;
    o.Repeats = 5;
    o.Delay = 30;
    o.Reaction = kReactionFlash;
    o.Sensitive = 1;
    o.Prime1 = 5;
    o.Prime2 = 6;
    MemorySettingsStore store;
    saveOptions(store, o);
    EXPECT_EQ(store.value("Options", "Well14"), "False");
    EXPECT_EQ(store.value("Options", "Well0"), "True");
    EXPECT_EQ(store.value("Options", "RepeatMode"), "True");
    EXPECT_FALSE(store.contains("Options", "Prime1"));
    EXPECT_FALSE(store.contains("Options", "Prime2"));

    // Priming found in the store (written by hand) is ignored too.
    store.write("Options", "Prime1", "9");
    store.write("Options", "Prime2", "9");
    RunOptions expected = o;
    expected.Prime1 = 0;
    expected.Prime2 = 0;
    EXPECT_EQ(loadOptions(store), expected);
}

TEST(Settings, StoredTextThatDoesNotFitGivesTheDefault) {
    const struct {
        const char* text;
        qint16 postsamples;
    } numbers[] = {{"abc", 20},   {"70000", 20}, {"-40000", 20}, {"12.5", 20}, {"", 20},
                   {"32767", 20}, {"-5", 20},    {" 7 ", 7},     {"1e1", 10},  {"7abc", 20},
                   {"25", 25},    {"26", 20},    {"0", 0}};
    for (const auto& c : numbers) {
        MemorySettingsStore store;
        store.write("Options", "Postsamples", c.text);
        EXPECT_EQ(loadOptions(store).Postsamples, c.postsamples) << c.text;
    }

    // Outside the options dialog's range: the key's default, never a value the dialog cannot
    // confirm (pump volumes whose total exceeds 250 both take theirs).
    const struct {
        const char *key, *text;
        qint16 RunOptions::*field;
        qint16 expected;
    } ranges[] = {{"Delay", "-5", &RunOptions::Delay, 0},
                  {"Delay", "999", &RunOptions::Delay, 999},
                  {"Pump1Volume", "300", &RunOptions::Pump1Volume, 100},
                  {"Pump2Volume", "150", &RunOptions::Pump2Volume, 150},
                  {"Reaction", "7", &RunOptions::Reaction, 1},
                  {"Reaction", "2", &RunOptions::Reaction, 2},
                  {"Presamples", "2", &RunOptions::Presamples, 0},
                  {"Repeats", "0", &RunOptions::Repeats, 1},
                  {"Repeats", "255", &RunOptions::Repeats, 255},
                  {"Dwell", "501", &RunOptions::Dwell, 500},
                  {"PostInjectDelay", "5001", &RunOptions::PostInjectDelay, 0},
                  {"Sensitive", "2", &RunOptions::Sensitive, 0}};
    for (const auto& c : ranges) {
        MemorySettingsStore store;
        store.write("Options", c.key, c.text);
        EXPECT_EQ(loadOptions(store).*c.field, c.expected) << c.key << "=" << c.text;
    }
    MemorySettingsStore pumps;
    pumps.write("Options", "Pump1Volume", "200");
    pumps.write("Options", "Pump2Volume", "60");
    EXPECT_EQ(loadOptions(pumps).Pump1Volume, 100);
    EXPECT_EQ(loadOptions(pumps).Pump2Volume, 100);

    const struct {
        const char* text;
        bool fallback;
        bool expected;
    } flags[] = {{"True", false, true}, {"FALSE", true, false}, {"true", false, true},
                 {"0", true, false},    {"-1", false, true},    {"2", false, true},
                 {"yes", true, true},   {"yes", false, false},  {"", true, true}};
    for (const auto& c : flags) EXPECT_EQ(storedBool(c.text, c.fallback), c.expected) << c.text;

    MemorySettingsStore store;
    store.write("Options", "Well5", "maybe");
    store.write("Communication", "ComPort", "0");
    store.write("Communication", "Settings", "  ");
    store.write("Communication", "BurstMode", "x");
    EXPECT_TRUE(loadOptions(store).SelectedWells[0][5]);
    EXPECT_EQ(loadCommunication(store), CommunicationSettings{});
}

TEST(Settings, ReadsAndWritesInTheirFixedOrdersAndCommunicationComesBack) {
    MemorySettingsStore store;
    loadCommunication(store);
    loadOptions(store);
    const QStringList head = QStringList{"Communication/ComPort", "Communication/Settings",
                                         "Communication/BurstMode", "Communication/PortName"} +
                             wellKeys();
    const QStringList readOrder =
        head + QStringList{"Options/Presamples",  "Options/Postsamples", "Options/Pump1Volume",
                           "Options/Pump2Volume", "Options/Dwell",       "Options/PostInjectDelay",
                           "Options/RepeatMode",  "Options/Repeats",     "Options/Delay",
                           "Options/Reaction",    "Options/Sensitive"};
    EXPECT_EQ(keysOf(store.reads()), readOrder);

    const CommunicationSettings comm{3, "9600,E,7,2", true, "/dev/ttyUSB0"};
    saveCommunication(store, comm);
    saveOptions(store, RunOptions{});
    const QStringList writeOrder =
        head + QStringList{"Options/Presamples",  "Options/Postsamples", "Options/PostInjectDelay",
                           "Options/Pump1Volume", "Options/Pump2Volume", "Options/Dwell",
                           "Options/RepeatMode",  "Options/Repeats",     "Options/Delay",
                           "Options/Reaction",    "Options/Sensitive"};
    EXPECT_EQ(keysOf(store.writes()), writeOrder);
    EXPECT_EQ(store.value("Communication", "ComPort"), "3");
    EXPECT_EQ(store.value("Communication", "BurstMode"), "True");
    EXPECT_EQ(loadCommunication(store), comm);
}

// The real per-user store: ctest gives every test its own XDG_CONFIG_HOME.
TEST(QSettingsStore, KeepsSettingsAcrossInstances) {
    RunOptions o;
    o.SelectedWells[7][11] = false;
    o.Dwell = 42;
    {
        QSettingsStore store(QStringLiteral("vantorix-settings-test"));
        saveOptions(store, o);
        saveCommunication(store, {2, "2400,n,8,1", false, {}});
        store.sync();
        EXPECT_FALSE(store.failed());
        const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (!home.isEmpty()) {
            EXPECT_TRUE(store.location().startsWith(QDir(home).absolutePath()))
                << store.location().toStdString();
        }
    }
    QSettingsStore again(QStringLiteral("vantorix-settings-test"));
    EXPECT_EQ(again.read("Options", "Nothing", "fallback"), "fallback");
    EXPECT_EQ(loadOptions(again), o);
    EXPECT_EQ(loadCommunication(again), (CommunicationSettings{2, "2400,n,8,1", false, {}}));

    // A hand-edited file, "," in a value and all.
    QFile file(again.location());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Communication]\nSettings=4800,e,7,2\nComPort=4\n");
    file.close();
    const QSettingsStore edited(QStringLiteral("vantorix-settings-test"));
    EXPECT_EQ(edited.read("Communication", "Settings", ""), "4800,e,7,2");
    EXPECT_EQ(loadCommunication(edited).ComPort, 4);
}

// A store that cannot be written is reported once, however often it is saved to.
TEST(QSettingsStore, AnUnwritableStoreIsReportedOnce) {
    const QString app = QStringLiteral("vantorix-settings-unwritable");
    QString path;
    {
        QSettingsStore probe(app);
        path = probe.location();
    }
    ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should be
    QSettingsStore store(app);
    saveOptions(store, RunOptions{});
    store.sync();
    EXPECT_TRUE(store.failed());
    EXPECT_EQ(store.takeWriteFailure(),
              "The settings could not be saved to " + path +
                  ". Changes made in this session will be lost when the program ends.");
    store.sync();
    EXPECT_EQ(store.takeWriteFailure(), "");
    QDir(path).removeRecursively();
}

// A FIFO as the settings file would block either program before anything shows: it is never
// opened. The store keeps the session's values in memory and says why the file was not used.
TEST(QSettingsStore, AFifoAsTheSettingsFileIsNeverOpened) {
    const QString app = QStringLiteral("vantorix-settings-fifo");
    QString path;
    {
        QSettingsStore probe(app);
        path = probe.location();
    }
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    if (!test::makeFifo(path)) GTEST_SKIP() << "no FIFOs on this system";
    auto used = std::async(std::launch::async, [&] {
        QSettingsStore store(app);
        store.write("Options", "Dwell", "5");
        store.sync();
        return QStringList{store.read("Options", "Dwell", ""), store.read("Options", "Delay", "-"),
                           store.takeWriteFailure()};
    });
    if (used.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        QFile writer(path);  // lets the blocked reader go, so the test can end
        writer.open(QIODevice::WriteOnly);
        writer.close();
        ADD_FAILURE() << "the store blocked on the FIFO";
    }
    EXPECT_EQ(used.get(), (QStringList{"5", "-",
                                       "The settings could not be saved to " + path +
                                           " (it is not a regular file). Changes made in this "
                                           "session will be lost when the program ends."}));
    EXPECT_FALSE(QFileInfo(path).isFile());
    QFile::remove(path);
}

TEST(SettingsLifecycle, StartUpReadsTheStoredSettingsAndShutDownStoresTheDefaults) {
    MemorySettingsStore store;
    store.write("Communication", "ComPort", "3");
    store.write("Communication", "Settings", "9600,e,7,2");
    store.write("Communication", "BurstMode", "True");
    store.write("Options", "Well0", "False");
    store.write("Options", "Prime1", "5");
    StartupSettings stored = loadStartupSettings(store);
    EXPECT_EQ(stored.communication.ComPort, 3);
    EXPECT_EQ(stored.communication.Settings, "9600,e,7,2");
    EXPECT_TRUE(stored.communication.BurstMode);
    EXPECT_FALSE(stored.runDefaults.SelectedWells[0][0]);
    EXPECT_EQ(stored.runDefaults.Prime1, 0);

    store.clearLog();
    stored.runDefaults.SelectedWells[0][0] = true;
    stored.runDefaults.Delay = 9;
    saveShutdownSettings(store, stored.runDefaults);
    EXPECT_EQ(store.writes().size(), size_t(kWellCount + 11));
    for (const auto& w : store.writes()) EXPECT_EQ(w.section, "Options");
    EXPECT_EQ(store.value("Options", "Well0"), "True");
    EXPECT_EQ(store.value("Options", "Delay"), "9");
}
