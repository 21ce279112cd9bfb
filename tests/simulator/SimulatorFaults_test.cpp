// Each fault, chosen by name, and what the instrument then does differently. Every fault also
// has a recorded run (tests/measurement/golden) that pins its exact bytes and times: the
// cases here are those a recording does not show (counts of 0, a second dataset, write gaps).
#include "simulator/SimulatorFaults.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "SimulatorTestSupport.h"

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

TEST(SimulatorFaults, SplitCutsMessagesIntoSeparateWritesWithGaps) {
    Recorder* cleanRec = nullptr;
    const QByteArray clean = oneDataset({}, kFourWells, &cleanRec);
    const int cleanWrites = int(cleanRec->writes.size());
    Recorder* splitRec = nullptr;
    const QByteArray split = oneDataset(withFault("split"), kFourWells, &splitRec);
    // The same messages; their readings follow the later times at which the wells are read.
    const auto shape = [](const QByteArray& bytes) {
        return QString::fromLatin1(bytes).replace(QRegularExpression("\\d+"), "#");
    };
    EXPECT_EQ(shape(split), shape(clean));
    EXPECT_GT(splitRec->writes.size(), cleanWrites);
    bool gap = false;
    for (int i = 1; i < splitRec->writes.size(); ++i) {
        EXPECT_GE(splitRec->writes[i].time_ms, splitRec->writes[i - 1].time_ms);
        gap |= splitRec->writes[i].time_ms > splitRec->writes[i - 1].time_ms &&
               !splitRec->writes[i - 1].bytes.endsWith('\n');
    }
    EXPECT_TRUE(gap) << "no message was cut with a pause inside";
}
