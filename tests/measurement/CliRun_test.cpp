// vantorix-cli run against vantorix-cli simulate on a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "support/TestSupport.h"

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

TEST(CliRun, InterruptCancelsTheRunAndExitsWithThree) {
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    QProcess run;
    run.setWorkingDirectory(dir.path());
    run.start(QStringLiteral(VANTORIX_CLI_PATH),
              {"run", "--port", sim.path(), "--out", dir.filePath("c.ovd"), "--wells", "A1"});
    ASSERT_TRUE(run.waitForStarted());
    // Let the options block begin, then press Ctrl+C.
    ASSERT_TRUE(run.waitForReadyRead(10000));
    QThread::msleep(1500);
    ::kill(static_cast<pid_t>(run.processId()), SIGINT);
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 3) << run.readAllStandardError().toStdString();
    EXPECT_TRUE(run.readAllStandardOutput().contains("You have cancelled this run."));
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
