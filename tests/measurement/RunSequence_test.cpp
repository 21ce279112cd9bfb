// Whole runs against the simulated instrument in virtual time: what goes on the wire and
// when, what the window is told, and the file the run leaves behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

#include "RunFixture.h"
#include "files/OvdParser.h"
#include "measurement/RunTexts.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// The options block of a glow run of these wells, as it must appear on the wire.
QStringList glowBlock(std::initializer_list<int> wells) {
    QStringList block{"{"};
    for (int w = 0; w < 96; ++w) block << (std::count(wells.begin(), wells.end(), w) ? "1" : "0");
    return block + QStringList(8, "0") + QStringList{"1", "0", "}"};  // glow, not sensitive
}

qsizetype indexOfBlock(const QStringList& sent, int n = 0) {
    qsizetype at = -1;
    for (int i = 0; i <= n; ++i) at = sent.indexOf(QStringLiteral("{"), at + 1);
    return at;
}

}  // namespace

TEST(RunSequence, OneGlowDatasetGoesOutExactlyAndIsSavedAndReloaded) {
    RunFixture f;
    f.selectWells({0, 1, 13, 95});
    f.session.setHeaderText(&PlateHeader::operatorName, QStringLiteral("Ann"));
    ASSERT_TRUE(f.runToEnd()) << f.pair.transcriptText().toStdString();
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed) << f.pair.transcriptText().toStdString();

    const QStringList sent = f.sentLines();
    ASSERT_GE(sent.size(), 1 + 108);
    EXPECT_EQ(sent[0], "START");
    const qsizetype b = indexOfBlock(sent);
    ASSERT_GE(b, 0);
    EXPECT_EQ(sent.mid(b, 108), glowBlock({0, 1, 13, 95}));
    // Four wells: four "G" answers to "&", nothing else after the block.
    EXPECT_EQ(sent.mid(b + 108), QStringList(4, QStringLiteral("G")));

    // Pauses: 0.1 s after each well line, 0.7 s more after each row, 0.1 s inside the tail.
    const auto lines = f.pair.linesFromProgram();
    // A1 goes out right behind "{" and queues on the line; every later well line leaves idle.
    const qint64 t0 = lines[b].time_ms;
    for (int w = 1; w < 96; ++w)
        EXPECT_EQ(lines[b + 1 + w].time_ms - t0, w / 12 * 1900 + w % 12 * 100) << w;
    EXPECT_EQ(lines[b + 97].time_ms - t0, 7 * 1900 + 1100 + 800);     // first "0" parameter
    EXPECT_EQ(lines[b + 107].time_ms - lines[b + 101].time_ms, 100);  // "}" 0.1 s after the tail

    EXPECT_EQ(f.ui.statusLines,
              (std::vector<QString>{"Downloading Options", "Waiting for data", "Receiving data"}));
    // The run's file is written, read back, and the document is what it holds.
    EXPECT_TRUE(f.session.saved());
    EXPECT_TRUE(f.session.document().fromFile);
    EXPECT_EQ(f.session.document().header.setsText, "1");
    EXPECT_EQ(f.session.document().header.operatorName, "Ann");
    EXPECT_EQ(f.run.dataFileTitle(), "plate.002.ovd");
    EXPECT_EQ(f.session.document().reading(1, 1, 3).raw, std::nullopt);  // A3 not selected
    EXPECT_TRUE(f.session.document().reading(1, 8, 12).raw.has_value());
    EXPECT_EQ(f.session.document().reading(1, 1, 1).seconds, std::optional<double>(0));
    EXPECT_FALSE(f.session.document().firmwareVersion.isEmpty());
    EXPECT_EQ(f.ui.finished, 1);
}

TEST(RunSequence, FlashRunAsksToPrimeOnceThenSwitchesPrimingOff) {
    RunFixture f;
    f.selectWells({0});
    RunOptions& o = f.session.runOptions();
    o.Reaction = kReactionFlash;
    o.Sensitive = 1;
    // Eight distinct values, so that any two exchanged lines show.
    o.Presamples = 3, o.Postsamples = 21, o.Pump1Volume = 40, o.Pump2Volume = 60;
    o.Dwell = 250, o.PostInjectDelay = 7, o.Prime1 = 5, o.Prime2 = 9;
    f.defaults.Prime1 = 5;
    ASSERT_TRUE(f.runToEnd());
    ASSERT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.ui.questions[0].text, kPrimingText);
    const QStringList sent = f.sentLines();
    const qsizetype b = indexOfBlock(sent);
    EXPECT_EQ(sent.mid(b + 97, 11),
              (QStringList{"3", "21", "40", "60", "250", "7", "5", "9", "2", "1", "}"}));
    EXPECT_EQ(f.session.runOptions().Prime1, 0);
    EXPECT_EQ(f.defaults.Prime1, 0);

    // The next run primes nothing and asks nothing.
    f.ui.questions.clear();
    ASSERT_TRUE(f.runToEnd());
    EXPECT_TRUE(f.ui.questions.empty());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
}

TEST(RunSequence, PrimingCancelledSendsNothingMore) {
    RunFixture f;
    f.selectWells({0});
    f.session.runOptions().Reaction = kReactionFlash;
    f.session.runOptions().Prime1 = 1;
    f.ui.okAnswers = {false};
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.sentLines(), QStringList{"START"});
    EXPECT_EQ(f.session.runOptions().Prime1, 1);
}

TEST(RunSequence, ThreeRepeatsWithDelayGiveThreeSetsAndTwoDelays) {
    RunFixture f;
    f.selectWells({5, 50});
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 3;
    f.session.runOptions().Delay = 10;
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
    const auto& s = f.ui.statusLines;
    EXPECT_EQ(std::count(s.begin(), s.end(), QStringLiteral("10 second delay")), 2);
    EXPECT_EQ(s.front(), "Downloading Options for 1st of 3 datasets");
    EXPECT_NE(std::find(s.begin(), s.end(), "Waiting for 3rd of 3 datasets"), s.end());
    EXPECT_NE(s.back(), "10 second delay");
    EXPECT_EQ(f.session.document().header.setsText, "3");
    // The handshake of the second dataset starts 10 s after the first dataset's block ended.
    const auto starts = f.timesOf(QStringLiteral("START"));
    ASSERT_EQ(starts.size(), 3u);
    const auto gs = f.timesOf(QStringLiteral("G"));
    EXPECT_GT(starts[1] - gs[1], 10'000);
    EXPECT_TRUE(f.session.document().reading(3, 1, 6).raw.has_value());
    // Times keep counting from the first reading of the run.
    EXPECT_GT(f.session.document().reading(3, 1, 6).seconds,
              f.session.document().reading(1, 5, 3).seconds);
}

TEST(RunSequence, StopWhileWellLinesGoOutSendsNoClosingBrace) {
    RunFixture f;
    f.selectWells({0});
    f.run.start();
    ASSERT_TRUE(f.pair.runUntil([&] { return f.sentLines().size() > 20; }, 60'000));
    f.run.cancel();
    ASSERT_TRUE(f.finish());
    const QStringList sent = f.sentLines();
    EXPECT_FALSE(sent.contains("}"));
    EXPECT_TRUE(sent.contains("S"));
    // The block is abandoned at the end of the row; the acknowledgement times out into "Z".
    EXPECT_EQ(sent.back(), "Z");
    const QStringList afterBrace = sent.mid(sent.indexOf("{") + 1);
    EXPECT_EQ(afterBrace.filter(QRegularExpression("^[01]$")).size(), 24);  // two rows went out
    EXPECT_EQ(f.run.outcome(), RunOutcome::Cancelled);
}

// Ten unanswered handshakes ask the user; Cancel sends "S" and nothing more. (The other
// handshake answers, and the silence polls and the unacknowledged block, are in the recorded
// runs of RunGolden.)
TEST(RunSequence, UnansweredHandshakeCancelledSendsStopOnly) {
    sim::SimulatorConfig config;
    ASSERT_TRUE(config.faults.add(QStringLiteral("no-ready=100")));
    RunFixture f(config);
    f.selectWells({0});
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Cancelled);
    EXPECT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.sentLines(), QStringList(10, "START") << "S");
}

TEST(RunSequence, NamingCancelledSendsNothing) {
    RunFixture f;
    f.ui.fileAnswer.clear();
    ASSERT_TRUE(f.runToEnd());
    EXPECT_TRUE(f.sentLines().isEmpty());
    EXPECT_EQ(f.run.outcome(), RunOutcome::NotStarted);
    EXPECT_EQ(f.run.dataFileTitle(), "Sample");
}

// A front end may start the next run, or let go of the run, when it is told the run finished:
// it is told from the event loop, never from inside the run that is ending.
TEST(RunSequence, RunFinishedMayStartTheNextRunOrDestroyTheSequence) {
    {
        RunFixture f;
        f.selectWells({0});
        f.ui.onFinished = [&] {
            f.ui.fileAnswer.clear();  // the second run ends at its naming
            if (f.ui.finished == 1) f.run.start();
        };
        ASSERT_TRUE(f.runToEnd());
        f.pair.runFor(1000);
        EXPECT_EQ(f.ui.finished, 2);
        EXPECT_EQ(f.run.outcome(), RunOutcome::NotStarted);
        EXPECT_TRUE(f.session.saved());
    }
    {
        RunFixture f;
        f.ui.fileAnswer.clear();
        auto run = std::make_unique<RunSequence>(f.session, f.defaults, f.folders, f.pair.port(),
                                                 f.pair.scheduler(), f.ui);
        f.ui.onFinished = [&] { run.reset(); };
        run->start();
        f.pair.runFor(1000);
        EXPECT_EQ(run, nullptr);
    }
}

// A reading off the plate is dropped: no cell shown for it, nothing stored outside the wells
// (an out-of-range index would land in slot 0 of the table). What else each fault does to a
// run is in the recorded runs of RunGolden.
TEST(RunSequence, ReadingsOffThePlateReachNeitherTheGridNorTheTable) {
    for (const char* fault : {"off-plate=2", "lower-case=3"}) {
        SCOPED_TRACE(fault);
        sim::SimulatorConfig config;
        config.seed = 7;
        ASSERT_TRUE(config.faults.add(QString::fromLatin1(fault)));
        RunFixture f(config);
        f.selectWells({0, 11, 12, 95});
        ASSERT_TRUE(f.runToEnd());
        EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
        EXPECT_EQ(f.ui.offPlateReadings, 0);
        // Only selected wells of the one set hold readings.
        ASSERT_EQ(f.session.document().setCount(), 1);
        int read = 0;
        for (int w = 0; w < kWellCount; ++w) {
            if (!f.session.document().datasets[0].wells[size_t(w)].raw) continue;
            ++read;
            EXPECT_TRUE(w == 0 || w == 11 || w == 12 || w == 95) << w;
        }
        EXPECT_GE(read, 2);
    }
}

// Line noise holds stray "O", "X", "[" and "]", so ready, acknowledged and the dataset block
// all seem to come; but a dataset without a reading of any selected well was no measurement.
// The run fails naming the likely causes, saves nothing and stops the far end.
TEST(RunSequence, LineNoiseIsNoCompletedMeasurement) {
    RunFixture f;
    f.selectWells({0, 1, 95});
    f.pair.line().setInstrumentSink([](QByteArrayView, qint64) {});  // no instrument listens
    std::function<void()> noise = [&] {
        f.pair.line().instrumentLink().send(QByteArray("~O%X[a]*&\x07\xfe", 11));
        f.pair.scheduler().callAfter(100, noise);
    };
    noise();
    ASSERT_TRUE(f.runToEnd(600'000));
    EXPECT_EQ(f.run.outcome(), RunOutcome::Failed);
    ASSERT_EQ(f.ui.errors.size(), 1u);
    EXPECT_EQ(f.ui.errors[0],
              "Dataset 1 ended without a reading of any of its 3 selected wells, so it was no "
              "measurement: what came over the line was not the instrument's answers. Check that "
              "the port is the one the instrument is on and that the line settings (Settings > "
              "Communications) match the instrument's.");
    EXPECT_EQ(f.run.failure(), f.ui.errors[0]);
    EXPECT_FALSE(f.session.saved());
    EXPECT_FALSE(QFile::exists(f.dir.filePath("plate.001.ovd")));
    EXPECT_EQ(f.sentLines().last(), "S");
}
