// The run journal: killed at any point it still holds every reading the run had shown, a
// damaged tail is left out with a note, and recovery writes an ordinary data file.
#include "measurement/RunJournal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>
#include <set>

#include "RunFixture.h"
#include "files/OvdLoader.h"
#include "measurement/RunRecovery.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

const char kChildFolderVariable[] = "VANTORIX_JOURNAL_CHILD";

// A journal of a two-dataset run: A1-A3 of set 1 (complete), B1 of set 2.
QString writeSampleJournal(const QString& folder) {
    ProgramState s;
    s.Operator = QStringLiteral("Ann Lee");
    s.Notes = QStringLiteral("two\nlines & 100%");
    s.FirstSet = 1;
    s.LastSet = 2;
    for (auto& row : s.CurrentOptions.SelectedWells) row.fill(true);
    RunJournal j(folder);
    EXPECT_TRUE(j.begin(s, QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0))));
    for (int c = 1; c <= 3; ++c)
        EXPECT_TRUE(j.recordReading(1, 1, c, {QString::number(1000 * c), QString::number(c)}));
    EXPECT_TRUE(j.recordDataset(1, QStringLiteral("FW 3.2")));
    EXPECT_TRUE(j.recordReading(2, 2, 1, {QStringLiteral("777"), QStringLiteral("40")}));
    j.close();
    return j.path();
}

}  // namespace

TEST(RunJournal, DamagedTailIsLeftOutWithANote) {
    QTemporaryDir dir;
    const QString path = writeSampleJournal(dir.path());
    const QByteArray whole = readFileBytes(path);
    const struct {
        const char* name;
        QByteArray bytes;
        int readings, datasets, completed;
        bool note;
    } cases[] = {
        {"whole", whole, 4, 2, 1, false},
        {"last record cut", whole.chopped(5), 3, 1, 1, true},
        {"cut at a line end", whole.left(whole.lastIndexOf("reading 2")), 3, 1, 1, false},
        {"zeros after a power cut", whole + QByteArray(512, '\0'), 4, 2, 1, true},
        {"a damaged record", QByteArray(whole).replace("777", "7#7"), 3, 1, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(path, c.bytes);
        ProgramState s;
        const JournalContents got = readJournal(path, s);
        ASSERT_TRUE(got.ok) << got.error.toStdString();
        EXPECT_EQ(got.readings, c.readings);
        EXPECT_EQ(got.datasets, c.datasets);
        EXPECT_EQ(got.completedSets, c.completed);
        EXPECT_EQ(!got.note.isEmpty(), c.note) << got.note.toStdString();
        EXPECT_EQ(s.Operator, "Ann Lee");
        EXPECT_EQ(s.Notes, "two\nlines & 100%");
        EXPECT_EQ(s.readings.at(1, 1, 2).Value, "2000");
        EXPECT_EQ(s.readings.at(1, 1, 4).Value, "-1");
    }
    writeFileBytes(path, "not a journal\n");
    ProgramState s;
    EXPECT_FALSE(readJournal(path, s).ok);
}

// vantorix-cli recover on the per-user recovery folder: the file holds every reading, the
// unfinished set with its unread wells "-1", and the run's header.
TEST(RunJournal, RecoverCommandListsAndWritesInterruptedRuns) {
    OwnDataFolder data;
    const QString journal = writeSampleJournal(recoveryFolder());
    QTemporaryDir dir;
    CliResult r = runCli({"recover", "--list"});
    EXPECT_EQ(r.out, journal + "\t2026-12-06 09:30:00\t2 datasets\t4 readings\n");
    r = runCli({"recover", journal, "--out", dir.filePath("back")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Recovered 4 readings in 2 datasets to " + dir.filePath("back.ovd") + "\n");
    EXPECT_EQ(runCli({"recover", "--list"}).out, "No interrupted runs.\n");
    EXPECT_EQ(runCli({"recover", journal, "--out", dir.filePath("s.ovd")}).exitCode, 1);
    EXPECT_EQ(runCli({"recover", "--out"}).exitCode, 2);

    ProgramState s;
    ASSERT_TRUE(LoadDataFile(s, dir.filePath("back.ovd"), 0).ok);
    EXPECT_EQ(s.keyStore.value(kRootKey + ".data.sets"), "2");
    EXPECT_EQ(s.keyStore.value(kRootKey + ".data-header.operator"), "Ann Lee");
    EXPECT_EQ(s.keyStore.value(kRootKey + ".data-header.date"), "12/6/2026");
    EXPECT_EQ(s.keyStore.value(kRootKey + ".firmware.version.string"), "FW 3.2");
    const struct {
        int set, row, column;
        const char *value, *time;
    } wells[] = {{1, 1, 1, "1000", "1"}, {1, 1, 3, "3000", "3"}, {1, 1, 4, "-1", "-1"},
                 {2, 2, 1, "777", "40"}, {2, 1, 1, "-1", "-1"},  {2, 8, 12, "-1", "-1"}};
    for (const auto& w : wells) {
        const Reading& got = s.readings.at(w.set, w.row, w.column);
        EXPECT_EQ(got.Value + u'@' + got.Time, QString(w.value) + u'@' + w.time) << w.set << w.row;
    }
}

// A recovery whose file cannot be written (its folder is missing) fails and keeps the journal,
// which is still offered for recovery.
TEST(RunJournal, AFailedRecoveryKeepsTheJournal) {
    OwnDataFolder data;
    const QString journal = writeSampleJournal(recoveryFolder());
    QTemporaryDir dir;
    const QString out = dir.filePath("no-such-folder/x.ovd");
    const RecoveryResult r = recoverJournal(journal, out);
    EXPECT_FALSE(r.written.ok);
    EXPECT_TRUE(r.written.error.startsWith(out + ": ")) << r.written.error.toStdString();
    EXPECT_TRUE(QFile::exists(journal));

    const CliResult cli = runCli({"recover", journal, "--out", out});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.startsWith("vantorix-cli: " + out + ": ")) << cli.err.toStdString();
    EXPECT_TRUE(QFile::exists(journal));
    EXPECT_EQ(runCli({"recover", "--list"}).out,
              journal + "\t2026-12-06 09:30:00\t2 datasets\t4 readings\n");
}

// Not a test of its own: the run that KilledRunsKeepEveryShownReading kills. It prints each
// reading once the run has accepted it, as the window or the command line would show it.
TEST(RunJournal, ChildRunForTheKillTest) {
    const QString folder = qEnvironmentVariable(kChildFolderVariable);
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as the child of the kill test";
    RunFixture f;
    for (auto& row : f.state.CurrentOptions.SelectedWells) row.fill(true);
    f.state.CurrentOptions.RepeatMode = true;
    f.state.CurrentOptions.Repeats = 3;
    f.run.setJournalFolder(folder);
    f.run.start();
    std::set<int> shown;
    while (f.run.running()) {
        f.pair.runFor(100);
        for (int set = 1; set <= 3; ++set)
            for (int w = 0; w < 96; ++w) {
                const QString& v = f.state.readings.at(set, w / 12 + 1, w % 12 + 1).Value;
                if (v == "-1" || !shown.insert(set * 100 + w).second) continue;
                std::printf("R %d %d %s\n", set, w, qPrintable(v));
                std::fflush(stdout);
            }
    }
}

TEST(RunJournal, KilledRunsKeepEveryShownReading) {
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    QRandomGenerator random(seed);
    for (int i = 0; i < 20; ++i) {
        QTemporaryDir dir;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildFolderVariable, dir.path());
        child.setProcessEnvironment(env);
        child.start(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
                    {"--gtest_filter=RunJournal.ChildRunForTheKillTest"});
        ASSERT_TRUE(child.waitForStarted());
        const int killAfter = int(random.bounded(1, 280));
        QByteArray out;
        while (out.count("\nR ") < killAfter && child.waitForReadyRead(20000))
            out += child.readAllStandardOutput();
        QThread::usleep(random.bounded(2000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        out += child.readAllStandardOutput();

        const QStringList journals = interruptedJournals(dir.path());
        ASSERT_EQ(journals.size(), 1) << "run " << i;
        ProgramState s;
        const JournalContents c = readJournal(journals[0], s);
        ASSERT_TRUE(c.ok);
        int checked = 0;
        for (const QByteArray& line : out.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 4 || f[0] != "R") continue;
            const int set = f[1].toInt(), w = f[2].toInt();
            EXPECT_EQ(s.readings.at(set, w / 12 + 1, w % 12 + 1).Value, QString::fromLatin1(f[3]))
                << "run " << i << " set " << set << " well " << w;
            ++checked;
        }
        EXPECT_GE(checked, killAfter);
        EXPECT_GE(c.readings, checked);
        EXPECT_TRUE(recoverJournal(journals[0], dir.filePath("r.ovd")).written.ok);
    }
}
