// The program's port and the instrument on the in-memory line, in virtual time.
#include "simulator/PairHarness.h"

#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"

using namespace vantorix::sim;
using namespace vantorix::sim::test;

TEST(PairHarness, BytesTakeLineTimeAndTheTranscriptRecordsThem) {
    PairHarness pair;
    ASSERT_TRUE(pair.port().open());
    int readyCalls = 0;
    const auto counting = pair.port().onReady([&] { ++readyCalls; });
    ASSERT_TRUE(pair.sendLine("START"));
    pair.runFor(100);
    // 7 bytes at 2400 baud, 10 bits each: the last arrives 29.2 ms later. The instrument
    // answers on the CR (25 ms); its 3 bytes take another 12.5 ms.
    EXPECT_EQ(pair.linesFromProgram(), (std::vector<TimedLine>{{30, "START"}}));
    EXPECT_EQ(pair.linesFromInstrument(), (std::vector<TimedLine>{{38, "O"}}));
    EXPECT_EQ(readyCalls, 3);  // one per byte as they trickle in
    EXPECT_EQ(pair.transcriptText().toStdString(), "        30 > START\n        38 < O\n");
    EXPECT_EQ(pair.port().read(), "O\r\n");
    EXPECT_EQ(pair.port().read(), "");
}

TEST(PairHarness, WritesQueueBehindEachOtherAndInputLenLimitsReads) {
    PairHarness pair;
    ASSERT_TRUE(pair.port().open());
    ASSERT_TRUE(pair.port().write("START\r\n"));
    ASSERT_TRUE(pair.port().write("START\r\n"));
    pair.runFor(200);
    const auto lines = pair.linesFromProgram();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].time_ms, 59);  // 14 bytes back to back: 58.3 ms
    pair.port().setInputLen(1);
    EXPECT_EQ(pair.port().bytesWaiting(), 6);
    EXPECT_EQ(pair.port().read(), "O");
    EXPECT_EQ(pair.port().bytesWaiting(), 5);
}

TEST(PairHarness, AClosedPortLosesWhatArrivesAndCannotWrite) {
    PairHarness pair;
    EXPECT_FALSE(pair.port().write("START\r\n"));  // closed until opened
    ASSERT_TRUE(pair.sendLine("START"));
    pair.port().close();
    pair.runFor(100);
    EXPECT_EQ(pair.linesFromInstrument().size(), 1u);  // the instrument did answer
    ASSERT_TRUE(pair.port().open());
    EXPECT_EQ(pair.port().bytesWaiting(), 0);
}

TEST(PairHarness, DropOutClosesTheProgramsPortOnce) {
    SimulatorConfig config;
    ASSERT_TRUE(config.faults.add("drop-out"));
    PairHarness pair(config);
    QStringList errors;
    const auto listening = pair.port().onError([&](const QString& e) { errors << e; });
    ASSERT_TRUE(pair.sendLine("START"));
    pair.runFor(100);
    // The program's side of the dataset: every "&" gets its "G".
    const auto answering = pair.port().onReady([&] {
        if (pair.port().read().contains('&')) pair.port().write("G\r\n");
    });
    pair.port().write(optionsBlock({0, 1, 2, 3, 4, 5, 6, 7}));
    pair.runFor(20'000);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_FALSE(pair.port().isOpen());
    EXPECT_FALSE(pair.port().write("G\r\n"));
    EXPECT_FALSE(pair.port().open());
}
