// Whole runs whose every byte, its time, what the window was told and the file left behind
// must stay exactly as recorded in golden/. A change to how the program is built must not show
// here; a deliberate change of behaviour rewrites the records with VANTORIX_UPDATE_GOLDEN=1.
#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>

#include "RunFixture.h"
#include "support/GoldenRecord.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

struct Scenario {
    const char* name;
    const char* fault;  // "" for none
    void (*setUp)(RunFixture&);
    const char* cancelAfter;  // a Cancel click 2.5 s after this status line, or nullptr
};

void glowThreeRepeats(RunFixture& f) {
    f.selectWells({0, 1, 13, 50, 95});
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 3;
    f.session.runOptions().Delay = 10;
}

void flashPrimed(RunFixture& f) {
    f.selectWells({0, 2, 40});
    RunOptions& o = f.session.runOptions();
    o.Reaction = kReactionFlash;
    o.Sensitive = 1;
    o.Presamples = 3, o.Postsamples = 21, o.Pump1Volume = 40, o.Pump2Volume = 60;
    o.Dwell = 250, o.PostInjectDelay = 7, o.Prime1 = 5, o.Prime2 = 9;
    f.defaults.Prime1 = 5;
}

void fourWells(RunFixture& f) {
    f.selectWells({0, 11, 12, 95});
}

void retryOnce(RunFixture& f) {
    f.selectWells({0});
    f.ui.retryAnswers = {true};
}

void keepPartial(RunFixture& f) {
    f.selectWells({0, 1, 2, 3, 4, 5});
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 2;
    f.ui.keepAnswers = {true};
}

const Scenario kScenarios[] = {
    {"glow-three-repeats", "", glowThreeRepeats, nullptr},
    {"flash-primed", "", flashPrimed, nullptr},
    {"cancel-in-second-set", "", keepPartial, "Waiting for 2nd of 2 datasets"},
    {"garbage", "garbage=20", fourWells, nullptr},
    {"split", "split", fourWells, nullptr},
    {"off-plate", "off-plate=2", fourWells, nullptr},
    {"lower-case", "lower-case=3", fourWells, nullptr},
    {"stall-block", "stall-block", fourWells, nullptr},
    {"drop-out", "drop-out", fourWells, nullptr},
    {"no-ack", "no-ack=1", fourWells, nullptr},
    {"silent", "silent-after=1", fourWells, nullptr},
    {"no-ready-retry", "no-ready=10", retryOnce, nullptr},
    {"lower-ready", "lower-ready", fourWells, nullptr},
};

void section(QTextStream& out, const char* title, const std::vector<QString>& lines) {
    out << "--- " << title << " ---\n";
    for (const QString& l : lines) out << l << '\n';
}

// Everything observable of one run, as text.
QString record(const Scenario& s) {
    sim::SimulatorConfig config;
    config.seed = 11;
    if (*s.fault) {
        EXPECT_TRUE(config.faults.add(QString::fromLatin1(s.fault)));
    }
    RunFixture f(config);
    s.setUp(f);
    f.run.start();
    if (s.cancelAfter) {
        EXPECT_TRUE(f.runUntilStatus(QString::fromLatin1(s.cancelAfter)));
        f.pair.runFor(2500);
        f.run.cancel();
    }
    EXPECT_TRUE(f.finish());
    QString text;
    QTextStream out(&text);
    out << "--- outcome ---\n" << int(f.run.outcome()) << '\n';
    out << "--- wire ---\n" << f.pair.transcriptText();
    section(out, "status", f.ui.statusLines);
    section(out, "messages", f.ui.messageLines);
    section(out, "notices", f.ui.notices);
    section(out, "errors", f.ui.errors);
    std::vector<QString> questions;
    for (const auto& q : f.ui.questions)
        questions.push_back(QString::number(q.time_ms) + " " + q.text);
    section(out, "questions", questions);
    out << "--- file " << QFileInfo(f.session.path()).fileName() << " ---\n";
    QFile file(f.session.path());
    if (f.session.saved() && file.open(QIODevice::ReadOnly))
        out << QString::fromUtf8(file.readAll()).replace("\r\n", "<CRLF>\n");
    out.flush();
    return text;
}

}  // namespace

TEST(RunGolden, WireWindowAndFileStayAsRecorded) {
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        expectGolden(QStringLiteral("measurement/golden/%1.txt").arg(s.name), record(s));
    }
}
