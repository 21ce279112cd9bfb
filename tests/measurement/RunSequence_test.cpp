// Whole runs against the simulated instrument in virtual time: what goes on the wire and
// when, what the window is told, and the file the run leaves behind.
#include <gtest/gtest.h>

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
    f.state.Operator = QStringLiteral("Ann");
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
    // The run's file is written, read back, and the key store holds it.
    EXPECT_TRUE(f.state.Saved);
    EXPECT_EQ(f.state.keyStore.value(kRootKey + ".data.sets"), "1");
    EXPECT_EQ(f.state.keyStore.value(kRootKey + ".data-header.operator"), "Ann");
    EXPECT_EQ(f.state.DataFileTitle, "plate.002.ovd");
    EXPECT_EQ(f.state.readings.at(1, 1, 3).Value, "-1");  // A3 not selected
    EXPECT_NE(f.state.readings.at(1, 8, 12).Value, "-1");
    EXPECT_EQ(f.state.readings.at(1, 1, 1).Time, "0");
    EXPECT_FALSE(f.state.FirmwareVersion.isEmpty());
    EXPECT_EQ(f.ui.finished, 1);
}

TEST(RunSequence, FlashRunAsksToPrimeOnceThenSwitchesPrimingOff) {
    RunFixture f;
    f.selectWells({0});
    RunOptions& o = f.state.CurrentOptions;
    o.Reaction = kReactionFlash;
    o.Sensitive = 1;
    // Eight distinct values, so that any two exchanged lines show.
    o.Presamples = 3, o.Postsamples = 21, o.Pump1Volume = 40, o.Pump2Volume = 60;
    o.Dwell = 250, o.PostInjectDelay = 7, o.Prime1 = 5, o.Prime2 = 9;
    f.state.DefaultOptions.Prime1 = 5;
    ASSERT_TRUE(f.runToEnd());
    ASSERT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.ui.questions[0].text, kPrimingText);
    const QStringList sent = f.sentLines();
    const qsizetype b = indexOfBlock(sent);
    EXPECT_EQ(sent.mid(b + 97, 11),
              (QStringList{"3", "21", "40", "60", "250", "7", "5", "9", "2", "1", "}"}));
    EXPECT_EQ(f.state.CurrentOptions.Prime1, 0);
    EXPECT_EQ(f.state.DefaultOptions.Prime1, 0);

    // The next run primes nothing and asks nothing.
    f.ui.questions.clear();
    ASSERT_TRUE(f.runToEnd());
    EXPECT_TRUE(f.ui.questions.empty());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
}

TEST(RunSequence, PrimingCancelledSendsNothingMore) {
    RunFixture f;
    f.selectWells({0});
    f.state.CurrentOptions.Reaction = kReactionFlash;
    f.state.CurrentOptions.Prime1 = 1;
    f.ui.okAnswers = {false};
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.sentLines(), QStringList{"START"});
    EXPECT_EQ(f.state.CurrentOptions.Prime1, 1);
}

TEST(RunSequence, ThreeRepeatsWithDelayGiveThreeSetsAndTwoDelays) {
    RunFixture f;
    f.selectWells({5, 50});
    f.state.CurrentOptions.RepeatMode = true;
    f.state.CurrentOptions.Repeats = 3;
    f.state.CurrentOptions.Delay = 10;
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
    const auto& s = f.ui.statusLines;
    EXPECT_EQ(std::count(s.begin(), s.end(), QStringLiteral("10 second delay")), 2);
    EXPECT_EQ(s.front(), "Downloading Options for 1st of 3 datasets");
    EXPECT_NE(std::find(s.begin(), s.end(), "Waiting for 3rd of 3 datasets"), s.end());
    EXPECT_NE(s.back(), "10 second delay");
    EXPECT_EQ(f.state.keyStore.value(kRootKey + ".data.sets"), "3");
    // The handshake of the second dataset starts 10 s after the first dataset's block ended.
    const auto starts = f.timesOf(QStringLiteral("START"));
    ASSERT_EQ(starts.size(), 3u);
    const auto gs = f.timesOf(QStringLiteral("G"));
    EXPECT_GT(starts[1] - gs[1], 10'000);
    EXPECT_EQ(f.state.readings.at(3, 1, 6).Value.isEmpty(), false);
    // Times keep counting from the first reading of the run.
    EXPECT_GT(f.state.readings.at(3, 1, 6).Time.toInt(), f.state.readings.at(1, 5, 3).Time.toInt());
}

TEST(RunSequence, SilentInstrumentIsPolledThreeTimesThenTheUserIsAsked) {
    sim::SimulatorConfig config;
    config.faults.silentAfter = 1;
    RunFixture f(config);
    f.selectWells({0, 1});
    ASSERT_TRUE(f.runToEnd());
    ASSERT_EQ(f.ui.questions.size(), 2u);
    EXPECT_EQ(f.ui.questions[0].text, kNotRespondingText);
    // The one reading taken is not dropped silently.
    EXPECT_TRUE(
        f.ui.questions[1].text.startsWith("You have cancelled this run.\n\n1 reading of dataset 1 "
                                          "was taken before the run stopped."));
    // The last activity is the "G" that answered the first "&"; polls follow ~4 s apart.
    const auto gs = f.timesOf(QStringLiteral("G"));
    ASSERT_EQ(gs.size(), 4u);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_GT(gs[i] - gs[i - 1], 3500) << i;
        EXPECT_LT(gs[i] - gs[i - 1], 5000) << i;
    }
    EXPECT_LT(f.ui.questions[0].time_ms - gs[3], 10);  // the question follows the third poll
    EXPECT_EQ(f.sentLines().back(), "S");
    EXPECT_EQ(f.run.outcome(), RunOutcome::Cancelled);
    EXPECT_FALSE(f.state.Saved);  // no dataset was completed and the partial one was declined
}

TEST(RunSequence, UnacknowledgedBlockIsFollowedByZHandshakeAndTheBlockAgain) {
    sim::SimulatorConfig config;
    config.faults.noAck = 1;
    RunFixture f(config);
    f.selectWells({7});
    ASSERT_TRUE(f.runToEnd());
    EXPECT_EQ(f.run.outcome(), RunOutcome::Completed);
    const QStringList sent = f.sentLines();
    const qsizetype first = indexOfBlock(sent);
    EXPECT_EQ(sent.mid(first + 108, 2), (QStringList{"Z", "START"}));
    EXPECT_EQ(sent.mid(indexOfBlock(sent, 1), 108), glowBlock({7}));
    const qint64 z = f.timeOfLine(QStringLiteral("Z"));
    EXPECT_NEAR(z - f.timeOfLine(QStringLiteral("}")), 5000, 20);
    EXPECT_NEAR(f.timeOfLine(QStringLiteral("START"), 1) - z, 500, 40);
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

// The answer to "START" in either letter case is ready; ten unanswered ones ask the user.
TEST(RunSequence, Handshake) {
    const struct {
        const char* fault;
        bool retry;  // the answer to "Communication Error"
        int starts;  // "START" lines sent
        int questions;
        RunOutcome outcome;
    } cases[] = {{"lower-ready", false, 1, 0, RunOutcome::Completed},
                 {"no-ready=10", true, 11, 1, RunOutcome::Completed},
                 {"no-ready=100", false, 10, 1, RunOutcome::Cancelled}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::SimulatorConfig config;
        ASSERT_TRUE(config.faults.add(QString::fromLatin1(c.fault)));
        RunFixture f(config);
        f.selectWells({0});
        f.ui.retryAnswers = {c.retry};
        ASSERT_TRUE(f.runToEnd());
        EXPECT_EQ(f.run.outcome(), c.outcome);
        EXPECT_EQ(f.ui.questions.size(), size_t(c.questions));
        const auto starts = f.timesOf(QStringLiteral("START"));
        ASSERT_EQ(starts.size(), size_t(c.starts));
        if (c.starts >= 10) {
            EXPECT_NEAR(starts[9] - starts[8], 100, 2);  // 0.1 s between tries
        }
        if (c.outcome == RunOutcome::Cancelled) {
            EXPECT_EQ(f.sentLines(), QStringList(10, "START") << "S");
        }
    }
}

TEST(RunSequence, NamingCancelledSendsNothing) {
    RunFixture f;
    f.ui.fileAnswer.clear();
    ASSERT_TRUE(f.runToEnd());
    EXPECT_TRUE(f.sentLines().isEmpty());
    EXPECT_EQ(f.run.outcome(), RunOutcome::NotStarted);
    EXPECT_EQ(f.state.DataFileTitle, "Sample");
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
        EXPECT_TRUE(f.state.Saved);
    }
    {
        RunFixture f;
        f.ui.fileAnswer.clear();
        auto run = std::make_unique<RunSequence>(f.state, f.pair.port(), f.pair.scheduler(), f.ui);
        f.ui.onFinished = [&] { run.reset(); };
        run->start();
        f.pair.runFor(1000);
        EXPECT_EQ(run, nullptr);
    }
}

// Every fault of the simulated instrument ends the run as the protocol prescribes.
TEST(RunSequence, SimulatorFaults) {
    struct Case {
        const char* fault;
        RunOutcome outcome;
        int wellsWithReadings;  // of the four selected, held in memory after the run
        int ignoredLines;       // message lines that say a reading was dropped
    };
    const Case cases[] = {
        {"garbage=20", RunOutcome::Completed, 4, 0},  {"split", RunOutcome::Completed, 4, 0},
        {"off-plate=2", RunOutcome::Completed, 3, 1}, {"lower-case=3", RunOutcome::Completed, 3, 1},
        {"stall-block", RunOutcome::Cancelled, 4, 0}, {"drop-out", RunOutcome::Failed, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::SimulatorConfig config;
        config.seed = 7;
        ASSERT_TRUE(config.faults.add(QString::fromLatin1(c.fault)));
        RunFixture f(config);
        f.selectWells({0, 11, 12, 95});
        ASSERT_TRUE(f.runToEnd());
        EXPECT_EQ(f.run.outcome(), c.outcome) << f.pair.transcriptText().toStdString();
        int read = 0;
        for (int w : {0, 11, 12, 95})
            read += f.state.readings.at(1, w / 12 + 1, w % 12 + 1).Value != "-1";
        EXPECT_EQ(read, c.wellsWithReadings);
        const auto ignored = std::count_if(
            f.ui.messageLines.begin(), f.ui.messageLines.end(), [](const QString& line) {
                return line.endsWith(QLatin1String(" - ignored, not a well of the plate"));
            });
        EXPECT_EQ(ignored, c.ignoredLines);
        if (c.outcome == RunOutcome::Failed) {
            EXPECT_FALSE(f.ui.errors.empty());
        }
        // A reading off the plate is dropped: no cell shown for it, nothing stored outside
        // the wells (an out-of-range index lands in slot 0 of the table).
        EXPECT_EQ(f.ui.offPlateCells, 0);
        EXPECT_TRUE(f.state.readings.at(0, 0, 0).Value.isEmpty());
        for (int r = 0; r <= 8; ++r) EXPECT_TRUE(f.state.readings.at(1, r, 0).Value.isEmpty());
        for (int c = 0; c <= 12; ++c) EXPECT_TRUE(f.state.readings.at(1, 0, c).Value.isEmpty());
    }
}
