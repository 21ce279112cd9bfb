// vantorix-cli run against vantorix-cli simulate on a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "files/FallbackSave.h"
#include "kernel/Settings.h"
#include "kernel/SettingsStore.h"
#include "measurement/RunJournal.h"
#include "measurement/RunRecovery.h"
#include "options/WellSelection.h"
#include "serial/PseudoTerminal.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// A simulated instrument in its own process; its first output line is the terminal's path.
class Simulator {
  public:
    explicit Simulator(const QStringList& extra = {}) {
        p_.start(QStringLiteral(VANTORIX_CLI_PATH),
                 QStringList{"simulate", "--well-time", "0.1", "--seed", "3"} + extra);
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

// The tool measures with the run defaults the desktop program saved (here wells A1, A2 and
// H12 and extra sensitivity); it never writes the store, not even to correct a value in it.
TEST(CliRun, CompletesARunWithTheStoredDefaultsAndPrintsThePlate) {
    QTemporaryDir dir;
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    QString conf;
    {
        vantorix::QSettingsStore store;
        vantorix::RunOptions o;
        ASSERT_TRUE(vantorix::parseWellList("A1-A2,H12", o.SelectedWells));
        o.Sensitive = 1;
        vantorix::saveOptions(store, o);
        store.write("Options", "Delay", "-5");
        store.sync();
        conf = store.location();
    }
    const QByteArray stored = readFileBytes(conf);
    ASSERT_TRUE(stored.contains("Well95=True")) << conf.toStdString();

    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const QString out = dir.filePath("p.ovd");
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", out, "--operator", "Ann", "--delay", "3"},
               dir.path(), 90000);
    qputenv("XDG_CONFIG_HOME", configHome);
    EXPECT_EQ(readFileBytes(conf), stored);
    EXPECT_TRUE(readFileBytes(out).contains("<row-000>110000000000</row-000>"));
    EXPECT_TRUE(readFileBytes(out).contains(">On</extra-sensitivity-option>"));
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
    // The three runs go on side by side, each against its own simulated instrument.
    const int stops[] = {SIGINT, SIGTERM, SIGHUP};
    Simulator sims[3];
    QTemporaryDir dir;
    QProcess runs[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(sims[i].path().startsWith("/dev/"));
        runs[i].start(QStringLiteral(VANTORIX_CLI_PATH),
                      {"run", "--port", sims[i].path(), "--out",
                       dir.filePath(QStringLiteral("c%1.ovd").arg(i)), "--wells", "A1"});
        ASSERT_TRUE(runs[i].waitForStarted());
    }
    // Let the options blocks begin, then send the signals.
    for (QProcess& run : runs) ASSERT_TRUE(run.waitForReadyRead(10000));
    QThread::msleep(1500);
    for (int i = 0; i < 3; ++i) ::kill(static_cast<pid_t>(runs[i].processId()), stops[i]);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(stops[i]);
        ASSERT_TRUE(runs[i].waitForFinished(30000));
        EXPECT_EQ(runs[i].exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(runs[i].exitCode(), 3) << runs[i].readAllStandardError().toStdString();
        EXPECT_TRUE(runs[i].readAllStandardOutput().contains("You have cancelled this run."));
    }
}

// An instrument that never answers: after the unanswered handshake the run gives up, and its
// "S" is on the line before the tool exits. With no retries left that is no cancel by the
// user: exit 1, and the user learns, once, that nothing was saved.
TEST(CliRun, LastStopReachesTheLineBeforeExit) {
    Pty line;
    ASSERT_FALSE(line.path.isEmpty());
    QTemporaryDir dir;
    const CliResult r = runCli(
        {"run", "--port", line.path, "--out", dir.filePath("n.ovd"), "--retry", "0"}, dir.path());
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("[Cancel: no retries left]")) << r.out.toStdString();
    EXPECT_TRUE(
        r.out.contains("The run was stopped: the instrument did not answer and no "
                       "retries were left (--retry N allows N more tries)."))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("You have cancelled this run.")) << r.out.toStdString();
    EXPECT_EQ(r.err, "vantorix-cli: No dataset was completed; nothing was saved.\n");
    EXPECT_EQ(line.readMaster(1000), QByteArray("START\r\n").repeated(10) + "S\r\n");
}

// A run whose file cannot be written is saved to a file of its own in the user's folder.
TEST(CliRun, FailedSaveWritesTheRunElsewhere) {
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("taken.ovd");  // a folder where the file should go
    // Other tests may leave journals of their own behind in the shared folder.
    const QStringList journalsBefore = interruptedJournals(recoveryFolder());
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
    EXPECT_EQ(interruptedJournals(recoveryFolder()), journalsBefore);
}

// Every value outside what the options dialog accepts is refused, naming the accepted range.
TEST(CliRun, BadUsageExitsWithTwoAndSaysWhatIsAccepted) {
    const QStringList base{"run", "--port", "x", "--out", "y"};
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {{"run"}, "--port and --out are required"},
        {{"run", "--port", "/dev/null"}, "--port and --out are required"},
        {base + QStringList{"--repeats", "abc"}, "--repeats takes a whole number from 1 to 255"},
        {base + QStringList{"--repeats", "-1"},
         "--repeats takes a whole number from 1 to 255, not '-1'"},
        {base + QStringList{"--repeats", "256"}, "--repeats takes a whole number from 1 to 255"},
        {base + QStringList{"--delay", "-5"},
         "--delay takes a whole number from 0 to 999, not '-5'"},
        {base + QStringList{"--delay", "12.5"}, "--delay takes a whole number from 0 to 999"},
        {base + QStringList{"--retry", "-3"},
         "--retry takes a whole number from 0 to 99, not '-3'"},
        {base + QStringList{"--wells", ""}, "--wells needs at least one well"},
        {base + QStringList{"--wells", "Q9"}, "Q9"},
        {base + QStringList{"--pump1", "300"}, "--pump1 takes a whole number from 0 to 250"},
        {base + QStringList{"--pump1", "200", "--pump2", "100"},
         "--pump1 + --pump2 must not exceed 250 (now 200 + 100)"},
        {base + QStringList{"--prime2", "26"}, "--prime2 takes a whole number from 0 to 25"},
        {base + QStringList{"--pre-inject", "2"}, "--pre-inject takes a whole number from 0 to 1"},
        {base + QStringList{"--reaction", "3"}, "--reaction takes glow or flash, not '3'"},
        {{"run", "--bogus", "1"}, "unknown option --bogus"},
        {{"simulate", "--well-time", "nan"}, "--well-time needs seconds from 0 to 3600, not 'nan'"},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();  // said once
    }
}

TEST(CliRun, HelpListsTheOptionsAndTheSimulatorsFaults) {
    for (const char* help : {"--help", "-h"}) {
        CliResult r = runCli({"simulate", help});
        EXPECT_EQ(r.exitCode, 0) << help;
        EXPECT_TRUE(
            r.out.contains("faults (--fault NAME or NAME=N): drop-out, garbage, "
                           "lower-case, lower-ready, no-ack, no-ready, off-plate, silent-after, "
                           "split, stall-block"))
            << r.out.toStdString();
        r = runCli({"run", help});
        EXPECT_EQ(r.exitCode, 0) << help;
        EXPECT_TRUE(r.out.contains("[--reaction glow|flash] [--pump1 V] [--pump2 V]"))
            << r.out.toStdString();
    }
}

TEST(CliRun, MissingPortIsAnErrorNamingIt) {
    QTemporaryDir dir;
    const CliResult r =
        runCli({"run", "--port", "/dev/no-such-port", "--out", dir.filePath("x.ovd")}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    // Said once, in words that name the port and what to check.
    EXPECT_TRUE(
        r.err.startsWith("vantorix-cli: There is no serial port /dev/no-such-port. Is "
                         "the instrument's cable or adapter plugged in"))
        << r.err.toStdString();
    EXPECT_EQ(r.err.count("There is no serial port"), 1) << r.err.toStdString();
}

// A completed dataset in which a selected well got no reading (its reading named a well off
// the plate) says how many wells are missing; the run itself completed.
TEST(CliRun, ACompletedDatasetWithUnreadWellsSaysHowMany) {
    Simulator sim({"--fault", "off-plate=1"});
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", dir.filePath("m.ovd"), "--wells", "A1,B2,C3"},
               dir.path(), 90000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("vantorix-cli: dataset 1: 1 of the 3 selected wells got no "
                       "reading\n"))
        << r.err.toStdString();
}
