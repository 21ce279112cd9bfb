// Each fault, chosen by name, and what the instrument then does differently.
#include "simulator/SimulatorFaults.h"

#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"
#include "simulator/MessageWriter.h"

using namespace vantorix::sim;
using namespace vantorix::sim::test;

namespace {

SimulatorConfig withFault(const char* fault) {
    SimulatorConfig config;
    QString error;
    EXPECT_TRUE(config.faults.add(QString::fromLatin1(fault), &error)) << error.toStdString();
    return config;
}

// One dataset of the given wells, "G" answering every "&".
QByteArray oneDataset(const SimulatorConfig& config, const std::set<int>& wells,
                      Recorder** recorder = nullptr) {
    static std::unique_ptr<DirectInstrument> keep;
    keep = std::make_unique<DirectInstrument>(Shape::Whole, config);
    keep->feed("START\r\n" + optionsBlock(wells));
    keep->runAnsweringGo(20'000);
    if (recorder) *recorder = &keep->recorder;
    return keep->recorder.all();
}

const std::set<int> kFourWells{0, 1, 2, 3};

}  // namespace

TEST(SimulatorFaults, NamesAndCounts) {
    const struct {
        const char* fault;
        bool ok;
    } cases[] = {{"no-ready=3", true}, {"no-ack", true},    {"silent-after=0", true},
                 {"garbage=9", true},  {"split", true},     {"drop-out=2", true},
                 {"no-such", false},   {"no-ack=x", false}, {"no-ack=-1", false},
                 {"garbage=0", false}, {"no-ack=", false},  {"off-plate=999999999", false}};
    for (const auto& c : cases) {
        SimulatorFaults f;
        QString error;
        EXPECT_EQ(f.add(QString::fromLatin1(c.fault), &error), c.ok) << c.fault;
        EXPECT_EQ(error.isEmpty(), c.ok) << c.fault;
    }
    SimulatorFaults f;
    ASSERT_TRUE(f.add("no-ready=3"));
    ASSERT_TRUE(f.add("stall-block"));
    EXPECT_EQ(f.noReady, 3);
    EXPECT_EQ(f.stallBlock, 1);
    EXPECT_EQ(f.silentAfter, -1);
}

TEST(SimulatorFaults, HandshakeAnswers) {
    const struct {
        const char* fault;
        int starts;
        const char* answers;
    } cases[] = {{"no-ready=2", 2, ""},
                 {"no-ready=2", 3, "O\r\n"},
                 {"lower-ready", 2, "ok\r\nok\r\n"},
                 {"lower-ready=0", 1, "O\r\n"}};
    for (const auto& c : cases) {
        DirectInstrument sim(Shape::Whole, withFault(c.fault));
        sim.feed(QByteArray("START\r\n").repeated(c.starts));
        EXPECT_EQ(sim.recorder.all(), c.answers) << c.fault << " " << c.starts;
    }
}

TEST(SimulatorFaults, NoAckWithholdsXUntilTheBlockIsSentAgain) {
    DirectInstrument sim(Shape::Whole, withFault("no-ack=1"));
    sim.feed("START\r\n" + optionsBlock({}));
    sim.run(5000);
    EXPECT_EQ(sim.recorder.all(), "O\r\n");
    sim.feed("Z\r\n");
    sim.feed("START\r\n" + optionsBlock({}));
    EXPECT_EQ(sim.recorder.all(), "O\r\nO\r\nX\r\n");
}

TEST(SimulatorFaults, SilentAfterStopsAnsweringForGood) {
    const QByteArray out = oneDataset(withFault("silent-after=2"), kFourWells);
    EXPECT_EQ(out.count("<Reading:"), 2);
    EXPECT_EQ(out.count('&'), 2);
    EXPECT_FALSE(out.contains('['));
}

TEST(SimulatorFaults, StallBlockNeverEndsTheBlockButTheNextDatasetWorks) {
    DirectInstrument sim(Shape::Whole, withFault("stall-block"));
    sim.feed("START\r\n" + optionsBlock(kFourWells));
    sim.runAnsweringGo(20'000);
    QByteArray out = sim.recorder.all();
    EXPECT_TRUE(out.contains("[\r\nA,1,"));
    EXPECT_FALSE(out.contains(']'));
    sim.feed("START\r\n" + optionsBlock(kFourWells));
    sim.runAnsweringGo(20'000);
    EXPECT_TRUE(sim.recorder.all().endsWith("]\r\n"));
}

TEST(SimulatorFaults, GarbageAddsNoiseButNoProtocolCharacters) {
    const QByteArray clean = oneDataset({}, kFourWells);
    const QByteArray noisy = oneDataset(withFault("garbage=6"), kFourWells);
    EXPECT_GT(noisy.size(), clean.size());
    for (char c : QByteArray(MessageWriter::kProtocolBytes))
        EXPECT_EQ(noisy.count(c), clean.count(c)) << "byte " << int(c);
    // Every message is still there whole, in order.
    qsizetype at = 0;
    for (const QByteArray& line : clean.split('\n')) {
        at = noisy.indexOf(line, at);
        ASSERT_GE(at, 0) << line.toStdString();
    }
}

TEST(SimulatorFaults, SplitCutsMessagesIntoSeparateWritesWithGaps) {
    Recorder* cleanRec = nullptr;
    const QByteArray clean = oneDataset({}, kFourWells, &cleanRec);
    const int cleanWrites = int(cleanRec->writes.size());
    Recorder* splitRec = nullptr;
    const QByteArray split = oneDataset(withFault("split"), kFourWells, &splitRec);
    EXPECT_EQ(split, clean);
    EXPECT_GT(splitRec->writes.size(), cleanWrites);
    bool gap = false;
    for (int i = 1; i < splitRec->writes.size(); ++i) {
        EXPECT_GE(splitRec->writes[i].time_ms, splitRec->writes[i - 1].time_ms);
        gap |= splitRec->writes[i].time_ms > splitRec->writes[i - 1].time_ms &&
               !splitRec->writes[i - 1].bytes.endsWith('\n');
    }
    EXPECT_TRUE(gap) << "no message was cut with a pause inside";
}

TEST(SimulatorFaults, OffPlateAndLowerCaseChangeOneReading) {
    const QByteArray off = oneDataset(withFault("off-plate=2"), kFourWells);
    const QList<QByteArray> offReadings = containing(off.split('\n'), "<Reading:");
    ASSERT_EQ(offReadings.size(), 4);
    EXPECT_TRUE(offReadings[1].startsWith("<Reading: J, 2 = ") ||
                offReadings[1].startsWith("<Reading: A, 13 = "))
        << offReadings[1].toStdString();
    EXPECT_TRUE(offReadings[2].startsWith("<Reading: A, 3 = "));

    const QByteArray lower = oneDataset(withFault("lower-case=3"), kFourWells);
    const QList<QByteArray> lowerReadings = containing(lower.split('\n'), "<Reading:");
    ASSERT_EQ(lowerReadings.size(), 4);
    EXPECT_TRUE(lowerReadings[2].startsWith("<Reading: a, 3 = "));
    EXPECT_TRUE(lowerReadings[3].startsWith("<Reading: A, 4 = "));
    EXPECT_TRUE(lower.contains("[\r\nA,1,"));  // the block keeps the proper letters
}

TEST(SimulatorFaults, DropOutHangsUpHalfwayThroughTheBlock) {
    Recorder* rec = nullptr;
    const QByteArray out = oneDataset(withFault("drop-out"), kFourWells, &rec);
    EXPECT_TRUE(out.contains("[\r\nA,1,"));
    EXPECT_FALSE(out.contains(']'));
    EXPECT_GE(rec->hungUpAt, rec->writes.last().time_ms);
}
