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
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "RunFixture.h"
#include "files/OvdLoader.h"
#include "measurement/RunRecovery.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

const char kChildFolderVariable[] = "VANTORIX_JOURNAL_CHILD";

// A journal of a two-dataset run over A1-A3: set 1 complete (lines 10-12), A1 of set 2
// (line 15).
QString writeSampleJournal(const QString& folder) {
    JournalHeader h;
    h.operatorName = QStringLiteral("Ann Lee");
    h.notes = QStringLiteral("two\nlines & 100%");
    h.sets = 2;
    for (auto& row : h.options.SelectedWells) row.fill(false);
    for (int w : {0, 1, 2}) h.options.SelectedWells[w / 12][w % 12] = true;
    RunJournal j(folder);
    EXPECT_TRUE(j.begin(h, QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0))));
    for (int c = 1; c <= 3; ++c)
        EXPECT_TRUE(j.recordReading(1, 1, c, QString::number(1000 * c), QString::number(c)));
    EXPECT_TRUE(j.recordDataset(1, QStringLiteral("FW 3.2")));
    EXPECT_TRUE(j.recordReading(2, 1, 1, QStringLiteral("777"), QStringLiteral("40")));
    j.close();
    return j.path();
}

QByteArray zeroed(QByteArray bytes, qsizetype from, qsizetype count) {
    return bytes.replace(from, count, QByteArray(count, '\0'));
}

}  // namespace

// What cannot be read back is left out, and the note says where, how much, and which readings
// are missing because of it; a recovery then keeps the damaged journal for inspection.
TEST(RunJournal, DamagedRecordsAreLeftOutWithANoteSayingWhatIsMissing) {
    QTemporaryDir dir;
    const QString path = writeSampleJournal(dir.path());
    const QString name = QFileInfo(path).fileName();
    const QByteArray whole = readFileBytes(path);
    const QString a2 = QString::number(whole.indexOf("reading 1 1 2"));
    const QString last = QString::number(whole.indexOf("reading 2 1 1"));
    const QString a1 = QString::number(whole.indexOf("reading 1 1 1"));
    const struct {
        const char* name;
        QByteArray bytes;
        int readings, datasets, completed;
        std::optional<double> a2;
        QString note;
    } cases[] = {
        {"whole", whole, 4, 2, 1, 2000, ""},
        {"last record cut", whole.chopped(5), 3, 1, 1, 2000,
         "The last record of " + name + " (line 15 at byte " + last +
             ") was damaged or cut short and left out; 1 reading is missing: set 2 A1"},
        {"cut at a line end", whole.left(whole.lastIndexOf("reading 2")), 3, 1, 1, 2000, ""},
        {"zeros after a power cut", whole + QByteArray(512, '\0'), 4, 2, 1, 2000,
         "The last record of " + name + " (line 16 at byte " + QString::number(whole.size()) +
             ") was damaged or cut short and left out; which readings it held is not known"},
        {"the last record damaged", QByteArray(whole).replace("777", "7#7"), 3, 1, 1, 2000,
         "The last record of " + name + " (line 15 at byte " + last +
             ") was damaged or cut short and left out; 1 reading is missing: set 2 A1"},
        {"a flipped byte mid-file", QByteArray(whole).replace("=2000", "=2001"), 3, 2, 1,
         std::nullopt,
         "1 damaged record of " + name + " was left out: line 11 at byte " + a2 +
             "; 1 reading is missing: set 1 A2"},
        {"a block of zeros", zeroed(whole, a1.toInt() + 16, 64), 1, 2, 0, std::nullopt,
         "1 damaged record of " + name + " was left out: line 10 at byte " + a1 +
             "; 3 readings are missing: set 1 A1, A2, A3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(path, c.bytes);
        PlateDocument d;
        const JournalContents got = readJournal(path, d);
        ASSERT_TRUE(got.ok) << got.error.toStdString();
        EXPECT_EQ(got.readings, c.readings);
        EXPECT_EQ(got.datasets, c.datasets);
        EXPECT_EQ(got.completedSets, c.completed);
        EXPECT_EQ(got.note, c.note);
        EXPECT_EQ(d.header.operatorName, "Ann Lee");
        EXPECT_EQ(d.header.notes, "two\nlines & 100%");
        EXPECT_EQ(d.reading(1, 1, 2).raw, c.a2);
        EXPECT_EQ(d.reading(1, 1, 4).raw, std::nullopt);

        const RecoveryResult r = recoverJournal(path, dir.filePath("r.ovd"));
        ASSERT_TRUE(r.written.ok) << r.written.error.toStdString();
        EXPECT_EQ(r.keptAs, c.note.isEmpty() ? "" : path + ".recovered");
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(QFile::exists(path + ".recovered"), !c.note.isEmpty());
        QFile::remove(path + ".recovered");
    }
    writeFileBytes(path, "not a journal\n");
    PlateDocument d;
    EXPECT_FALSE(readJournal(path, d).ok);
}

#ifdef Q_OS_UNIX
// Another program may hold a lock on a new journal (a listing takes one for a moment): the
// run waits a little for it, then takes a new name, and never goes on with an unlocked journal
// that a listing would offer and a recovery could take.
TEST(RunJournal, NewJournalIsNeverLeftUnlocked) {
    const struct {
        const char* name;
        int heldNames;   // new journals another program locks, in order
        int release_ms;  // when it lets go; -1 never
        bool begun;
    } cases[] = {{"held for a moment", 1, 100, true},
                 {"held for good", 1, -1, true},
                 {"every name held", 3, -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        RunJournal j(dir.path());
        QStringList created;
        std::vector<int> held;
        std::thread release;
        j.setCreatedHook([&](const QString& path) {
            created << path;
            if (int(held.size()) == c.heldNames) return;
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
            ASSERT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);
            held.push_back(fd);
            if (c.release_ms >= 0)
                release = std::thread([fd, ms = c.release_ms] {
                    ::usleep(useconds_t(ms) * 1000);
                    ::flock(fd, LOCK_UN);
                });
        });
        EXPECT_EQ(j.begin(JournalHeader(), QDateTime::currentDateTime()), c.begun);
        if (release.joinable()) release.join();
        EXPECT_EQ(j.isOpen(), c.begun);
        EXPECT_EQ(j.error().isEmpty(), c.begun) << j.error().toStdString();
        const QStringList files = QDir(dir.path()).entryList({"*.journal"}, QDir::Files);
        EXPECT_EQ(files.size(), c.begun ? 1 : 0);
        if (c.begun) {
            EXPECT_EQ(j.path(), created.last());
            EXPECT_EQ(created.size(), c.release_ms >= 0 ? 1 : 2);
        }
        // The live journal is held: no listing offers it.
        EXPECT_TRUE(interruptedJournals(dir.path(), true).isEmpty());
        for (int fd : held) ::close(fd);
    }
}
#endif

// vantorix-cli recover on the per-user recovery folder: the file holds every reading, the
// unfinished set with its unread wells "-1", and the run's header.
TEST(RunJournal, RecoverCommandListsAndWritesInterruptedRuns) {
    OwnDataFolder data;
    const QString journal = writeSampleJournal(recoveryFolder());
    // The run stopped when its journal was last written: the file carries that time, as a
    // file saved at the end of a run carries the time it was saved.
    QFile stopped(journal);
    ASSERT_TRUE(stopped.open(QIODevice::ReadWrite));
    ASSERT_TRUE(stopped.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(8, 15, 30)),
                                    QFileDevice::FileModificationTime));
    stopped.close();
    QTemporaryDir dir;
    CliResult r = runCli({"recover", "--list"});
    EXPECT_EQ(r.out, journal + "\t2026-12-06 09:30:00\t2 datasets\t4 readings\n");
    r = runCli({"recover", journal, "--out", dir.filePath("back")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Recovered 4 readings in 2 datasets to " + dir.filePath("back.ovd") + "\n");
    EXPECT_EQ(runCli({"recover", "--list"}).out, "No interrupted runs.\n");
    EXPECT_EQ(runCli({"recover", journal, "--out", dir.filePath("s.ovd")}).exitCode, 1);
    EXPECT_EQ(runCli({"recover", "--out"}).exitCode, 2);

    PlateDocument d;
    ASSERT_TRUE(LoadDataFile(d, dir.path(), dir.filePath("back.ovd")).ok);
    EXPECT_EQ(d.header.setsText, "2");
    EXPECT_EQ(d.header.operatorName, "Ann Lee");
    EXPECT_EQ(d.header.dateText, "12/7/2026");
    EXPECT_EQ(d.header.timeText, "8:15:30 AM");
    EXPECT_EQ(d.firmwareVersion, "FW 3.2");
    const std::nullopt_t none = std::nullopt;
    const struct {
        int set, row, column;
        std::optional<double> value, time;
    } wells[] = {{1, 1, 1, 1000, 1}, {1, 1, 3, 3000, 3},    {1, 1, 4, none, none},
                 {2, 1, 1, 777, 40}, {2, 2, 1, none, none}, {2, 8, 12, none, none}};
    for (const auto& w : wells) {
        const WellReading& got = d.reading(w.set, w.row, w.column);
        EXPECT_EQ(got.raw, w.value) << w.set << w.row;
        EXPECT_EQ(got.seconds, w.time) << w.set << w.row;
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
    for (auto& row : f.session.runOptions().SelectedWells) row.fill(true);
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 3;
    f.run.setJournalFolder(folder);
    f.run.start();
    std::set<int> shown;
    while (f.run.running()) {
        f.pair.runFor(100);
        for (int set = 1; set <= 3; ++set)
            for (int w = 0; w < 96; ++w) {
                const std::optional<double> v =
                    f.session.document().reading(set, w / 12 + 1, w % 12 + 1).raw;
                if (!v || !shown.insert(set * 100 + w).second) continue;
                std::printf("R %d %d %.0f\n", set, w, *v);
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
        PlateDocument d;
        const JournalContents c = readJournal(journals[0], d);
        ASSERT_TRUE(c.ok);
        int checked = 0;
        for (const QByteArray& line : out.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 4 || f[0] != "R") continue;
            const int set = f[1].toInt(), w = f[2].toInt();
            EXPECT_EQ(d.reading(set, w / 12 + 1, w % 12 + 1).raw,
                      std::optional<double>(f[3].toDouble()))
                << "run " << i << " set " << set << " well " << w;
            ++checked;
        }
        EXPECT_GE(checked, killAfter);
        EXPECT_GE(c.readings, checked);
        EXPECT_TRUE(recoverJournal(journals[0], dir.filePath("r.ovd")).written.ok);
    }
}
