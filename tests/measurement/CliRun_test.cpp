// vantorix-cli run against vantorix-cli simulate on a pseudo-terminal, in real time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "files/FallbackSave.h"
#include "measurement/RunJournal.h"
#include "measurement/RunRecovery.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// A simulated instrument in its own process; its first output line is the terminal's path.
class Simulator {
  public:
    Simulator() {
        p_.start(QStringLiteral(VANTORIX_CLI_PATH),
                 {"simulate", "--well-time", "0.1", "--seed", "3"});
        if (p_.waitForReadyRead(10000)) path_ = QString::fromUtf8(p_.readLine()).trimmed();
    }
    ~Simulator() {
        p_.terminate();
        if (!p_.waitForFinished(5000)) p_.kill();
        p_.waitForFinished();
    }
    QString path() const { return path_; }

  private:
    QProcess p_;
    QString path_;
};

}  // namespace

TEST(CliRun, CompletesARunAndPrintsThePlate) {
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    QTemporaryDir dir;
    const QString out = dir.filePath("p.ovd");
    const CliResult r = runCli(
        {"run", "--port", sim.path(), "--out", out, "--wells", "A1-A2,H12", "--operator", "Ann"},
        dir.path(), 90000);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Downloading Options")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Reading: A, 1 = ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Sets: 1\nSet: 1\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\nB\tX\tX\tX")) << r.out.toStdString();  // B1-B3 not selected

    const CliResult shown = runCli({"show", out}, dir.path());
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(r.out.endsWith(shown.out)) << shown.out.toStdString();
}

// Ctrl+C, a closed terminal and a service stop all cancel the run the same way.
TEST(CliRun, CancelSignalsCancelTheRunAndExitWithThree) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        Simulator sim;
        ASSERT_TRUE(sim.path().startsWith("/dev/"));
        QTemporaryDir dir;
        QProcess run;
        run.setWorkingDirectory(dir.path());
        run.start(QStringLiteral(VANTORIX_CLI_PATH),
                  {"run", "--port", sim.path(), "--out", dir.filePath("c.ovd"), "--wells", "A1"});
        ASSERT_TRUE(run.waitForStarted());
        // Let the options block begin, then send the signal.
        ASSERT_TRUE(run.waitForReadyRead(10000));
        QThread::msleep(1500);
        ::kill(static_cast<pid_t>(run.processId()), sig);
        ASSERT_TRUE(run.waitForFinished(30000));
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode(), 3) << run.readAllStandardError().toStdString();
        EXPECT_TRUE(run.readAllStandardOutput().contains("You have cancelled this run."));
    }
}

// An instrument that never answers: after the unanswered handshake the run cancels, and its
// "S" is on the line before the tool exits.
TEST(CliRun, LastStopReachesTheLineBeforeExit) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    QTemporaryDir dir;
    const CliResult r = runCli({"run", "--port", QString::fromLocal8Bit(ptsname(master)), "--out",
                                dir.filePath("n.ovd"), "--retry", "0"},
                               dir.path());
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    QByteArray got;
    char buffer[512];
    fcntl(master, F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) got.append(buffer, n);
    ::close(master);
    EXPECT_EQ(got, QByteArray("START\r\n").repeated(10) + "S\r\n");
}

// A run whose file cannot be written is saved to a file of its own in the user's folder.
TEST(CliRun, FailedSaveWritesTheRunElsewhere) {
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("taken.ovd");  // a folder where the file should go
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", dir.filePath("taken.ovd"), "--wells", "B2"},
               dir.path(), 90000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QString prefix =
        QStringLiteral("Saved instead to: ") + userDataFolder() + "/unsaved-run-";
    const qsizetype at = r.err.indexOf(prefix);
    ASSERT_GE(at, 0) << r.err.toStdString();
    const QString path = r.err.mid(at + 18).section(u'\n', 0, 0);
    EXPECT_TRUE(path.endsWith("-taken.ovd")) << path.toStdString();
    const CliResult shown = runCli({"show", path});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(shown.out.contains("Sets: 1")) << shown.out.toStdString();
    EXPECT_TRUE(interruptedJournals(recoveryFolder()).isEmpty());
}

TEST(CliRun, BadUsageExitsWithTwo) {
    const struct {
        QStringList args;
    } cases[] = {{{"run"}},
                 {{"run", "--port", "/dev/null"}},
                 {{"run", "--port", "x", "--out", "y", "--repeats", "abc"}},
                 {{"run", "--port", "x", "--out", "y", "--wells", "Q9"}},
                 {{"run", "--bogus", "1"}}};
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(CliRun, MissingPortIsAnErrorNamingIt) {
    QTemporaryDir dir;
    const CliResult r =
        runCli({"run", "--port", "/dev/no-such-port", "--out", dir.filePath("x.ovd")}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("/dev/no-such-port")) << r.err.toStdString();
}
