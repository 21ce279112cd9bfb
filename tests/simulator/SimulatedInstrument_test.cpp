// The simulated instrument's answers to each command, fed whole, byte by byte and with
// trailing data: the shape in which bytes arrive never changes what it says or when. Whole
// runs of several datasets are pinned by the recorded runs (tests/measurement/golden).
#include "simulator/SimulatedInstrument.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

#include "SimulatorTestSupport.h"
#include "simulator/MeasurementMode.h"

using namespace vantorix::sim;
using namespace vantorix::sim::test;

namespace {

// The messages (CR LF stripped) of what the instrument wrote.
QList<QByteArray> messages(const QByteArray& out) {
    QList<QByteArray> list;
    for (const QByteArray& line : out.split('\n')) {
        const QByteArray t = line.trimmed();
        if (!t.isEmpty()) list << t;
    }
    return list;
}

// Runs `script` in every shape, checks all shapes wrote the same bytes at the same times,
// and returns the whole-shape instrument's output.
template <typename Script>
QByteArray inEveryShape(Script script, SimulatorConfig config = {}) {
    QByteArray reference;
    QList<qint64> referenceTimes;
    for (Shape shape : kShapes) {
        DirectInstrument sim(shape, config);
        script(sim);
        QList<qint64> times;
        for (const Write& w : sim.recorder.writes) times << w.time_ms;
        if (shape == Shape::Whole) {
            reference = sim.recorder.all();
            referenceTimes = times;
        } else {
            EXPECT_EQ(sim.recorder.all(), reference) << shapeName(shape);
            EXPECT_EQ(times, referenceTimes) << shapeName(shape);
        }
    }
    return reference;
}

}  // namespace

TEST(SimulatedInstrument, AnswersTheHandshakeAndTheOptionsBlock) {
    const struct {
        const char* name;
        QByteArray input;
        QList<QByteArray> expected;
    } cases[] = {
        {"ready", "START\r\n", {"O"}},
        {"ready twice", "START\r\nSTART\r\n", {"O", "O"}},
        {"line ends CR only", "START\r", {"O"}},
        {"surrounding blanks", "  START \n", {"O"}},
        {"wrong case is no command", "start\r\n", {}},
        {"block accepted", "START\r\n" + optionsBlock({}), {"O", "X"}},
        {"block without handshake", optionsBlock({0}), {}},
        {"block dropped by Z", "START\r\n" + optionsBlock({}).left(60) + "Z\r\n}\r\n", {"O"}},
        {"block resent after Z",
         "START\r\n" + optionsBlock({}).left(60) + "Z\r\nSTART\r\n" + optionsBlock({}),
         {"O", "O", "X"}},
        {"one line short", "START\r\n" + optionsBlock({}).replace("{\r\n0\r\n", "{\r\n"), {"O"}},
        {"one line too many", "START\r\n" + optionsBlock({}).replace("{\r\n", "{\r\n0\r\n"), {"O"}},
        {"well line not 0 or 1", "START\r\n" + optionsBlock({}).replace("{\r\n0", "{\r\n2"), {"O"}},
        {"parameter not a number",
         "START\r\n" + optionsBlock({}).replace("0\r\n}", "x\r\n}"),
         {"O"}},
        {"parameter beyond 16 bits",
         "START\r\n" + optionsBlock({}).replace("0\r\n}", "40000\r\n}"),
         {"O"}},
        {"overlong line ignored", "START" + QByteArray(200, 'x') + "\r\nSTART\r\n", {"O"}},
    };
    for (const auto& c : cases) {
        const QByteArray out = inEveryShape([&](DirectInstrument& sim) {
            sim.feed(c.input);
            sim.run(100);  // before the dataset starts
        });
        EXPECT_EQ(messages(out), c.expected) << c.name;
    }
}

TEST(SimulatedInstrument, MeasuresTheSelectedWellsInPlateOrder) {
    const QByteArray out = inEveryShape([](DirectInstrument& sim) {
        sim.feed("START\r\n" + optionsBlock({95, 0, 18}));
        sim.runAnsweringGo(10'000);
    });
    const QList<QByteArray> m = messages(out);
    ASSERT_EQ(m.size(), 2 + 2 + 3 * 2 + 5) << out.toStdString();
    EXPECT_EQ(m[0], "O");
    EXPECT_EQ(m[1], "X");
    EXPECT_EQ(m[2], "<Firmware version 2.07>");
    EXPECT_EQ(m[3], "<Measuring 3 wells>");
    const QRegularExpression reading(R"(^<Reading: ([A-H]), (\d+) = (\d+)>$)");
    const char* wells[] = {"A1", "B7", "H12"};
    QList<QByteArray> values;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m[4 + 2 * i], "&");
        const auto match = reading.match(QString::fromLatin1(m[5 + 2 * i]));
        ASSERT_TRUE(match.hasMatch()) << m[5 + 2 * i].toStdString();
        EXPECT_EQ(match.captured(1) + match.captured(2), wells[i]);
        values << match.captured(3).toLatin1();
    }
    EXPECT_EQ(m[10], "[");
    EXPECT_EQ(m[11], "A,1," + values[0]);
    EXPECT_EQ(m[12], "B,7," + values[1]);
    EXPECT_EQ(m[13], "H,12," + values[2]);
    EXPECT_EQ(m[14], "]");
}

TEST(SimulatedInstrument, MeasuresForTheWellTimeAfterEachGo) {
    SimulatorConfig config;
    config.wellTime_ms = 1500;
    DirectInstrument sim(Shape::Whole, config);
    sim.feed("START\r\n" + optionsBlock({5}));
    sim.run(1000);
    ASSERT_EQ(messages(sim.recorder.all()).last(), "&");
    sim.run(20'000);  // without "G" nothing is measured
    ASSERT_EQ(messages(sim.recorder.all()).last(), "&");
    const qint64 go = sim.scheduler.now_ms();
    sim.feed("G\r\n");
    sim.feed("G\r\n");  // a second "G" (a poll) changes nothing
    sim.run(1499);
    EXPECT_EQ(messages(sim.recorder.all()).last(), "&");
    sim.run(1);
    EXPECT_TRUE(sim.recorder.writes.last().bytes.startsWith("<Reading: A, 6 = "));
    EXPECT_EQ(sim.recorder.writes.last().time_ms, go + 1500);
}

TEST(SimulatedInstrument, StopEndsTheDatasetAndAnEmptySelectionSendsAnEmptyBlock) {
    const QByteArray stopped = inEveryShape([](DirectInstrument& sim) {
        sim.feed("START\r\n" + optionsBlock({1, 2, 3}));
        sim.runAnsweringGo(1400);
        sim.feed("S\r\n");
        sim.run(10'000);
    });
    const QList<QByteArray> m = messages(stopped);
    EXPECT_EQ(m.count("&"), containing(m, "<Reading:").size() + 1) << stopped.toStdString();
    EXPECT_FALSE(stopped.contains('['));

    const QByteArray empty = inEveryShape([](DirectInstrument& sim) {
        sim.feed("START\r\n" + optionsBlock({}));
        sim.run(10'000);
    });
    EXPECT_EQ(messages(empty), (QList<QByteArray>{"O", "X", "<Firmware version 2.07>",
                                                  "<Measuring 0 wells>", "[", "]"}));
}

TEST(SimulatedInstrument, SameSeedSameReadingsOtherSeedOthers) {
    auto readings = [](quint32 seed) {
        SimulatorConfig config;
        config.seed = seed;
        DirectInstrument sim(Shape::Whole, config);
        std::set<int> all;
        for (int i = 0; i < 96; ++i) all.insert(i);
        sim.feed("START\r\n" + optionsBlock(all));
        sim.runAnsweringGo(200'000);
        return containing(messages(sim.recorder.all()), "<Reading:");
    };
    const auto a = readings(7);
    ASSERT_EQ(a.size(), 96);
    EXPECT_EQ(readings(7), a);
    EXPECT_NE(readings(8), a);
}
