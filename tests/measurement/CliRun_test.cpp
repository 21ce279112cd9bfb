// vantorix-cli run against vantorix-cli simulate on a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "history/History.h"
#include "kernel/Settings.h"
#include "kernel/SettingsStore.h"
#include "measurement/RunJournal.h"
#include "measurement/RunRecovery.h"
#include "options/WellSelection.h"
#include "protocols/ProtocolSample.h"
#include "serial/PseudoTerminal.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// A simulated instrument in its own process; its first output line is the terminal's path.
class Simulator {
  public:
    explicit Simulator(const QStringList& faults = {}) {
        p_.start(QStringLiteral(VANTORIX_CLI_PATH),
                 QStringList{"simulate", "--well-time", "0.1", "--seed", "3"} + faults);
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

// vantorix-cli with HOME elsewhere (the journal's and the fallback file's folders follow it),
// its standard error and output in one stream so their order shows.
void startWithHome(QProcess& p, const QStringList& args, const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.remove("XDG_DATA_HOME");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(VANTORIX_CLI_PATH), args);
}

// The journal a message names: "... kept for recovery in PATH (vantorix-cli recover)".
QString journalNamedIn(const QString& text) {
    const qsizetype at = text.indexOf(" kept for recovery in ");
    return at < 0 ? QString() : text.mid(at + 22).section(u' ', 0, 0);
}

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
    OwnDataFolder data;
    qunsetenv("XDG_DOCUMENTS_DIR");
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", dir.filePath("taken.ovd"), "--wells", "B2"},
               dir.path(), 90000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QRegularExpression saved(
        "Saved instead to: (" + QRegularExpression::escape(qEnvironmentVariable("HOME")) +
        "/Documents/Vantorix/unsaved-run-[0-9]{8}-[0-9]{6}-taken\\.ovd)\n");
    const QRegularExpressionMatch found = saved.match(r.err);
    ASSERT_TRUE(found.hasMatch()) << r.err.toStdString();
    const CliResult shown = runCli({"show", found.captured(1)});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(shown.out.contains("Sets: 1")) << shown.out.toStdString();
    EXPECT_TRUE(interruptedJournals(recoveryFolder()).isEmpty());
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
        {base + QStringList{"--protocol"}, "--protocol needs a value"},
        {base + QStringList{"--protocol", "None here"}, "there is no protocol 'None here' ("},
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

// An instrument that stops answering mid-run is no cancel by the user: the tool says what
// happened, and the readings kept of the unfinished dataset are called what they are.
TEST(CliRun, InstrumentThatStopsAnsweringIsNotTheUsersCancel) {
    Simulator sim({"--fault", "silent-after=2"});
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    const QString out = dir.filePath("s.ovd");
    const CliResult r = runCli({"run", "--port", sim.path(), "--out", out, "--wells", "A1-A3",
                                "--retry", "0", "--keep-partial"},
                               dir.path(), 120000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("cancelled")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(
        "The run was stopped: the instrument did not answer and no retries were left (--retry N "
        "allows N more tries).\n\n2 readings of dataset 1 were taken before the run stopped. "
        "Keep them as a partial dataset (wells not read are left without a reading)? [Yes]"))
        << r.out.toStdString();
    EXPECT_EQ(r.err, "vantorix-cli: The readings so far of unfinished dataset 1 were saved to " +
                         out + "\n");
}

// A lost line is said once; with no dataset saved, the tool says where the readings are kept,
// never that a saved file leaves them out.
TEST(CliRun, LostLineIsSaidOnceAndTheKeptReadingsAreNamed) {
    Simulator sim({"--fault", "drop-out"});
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", dir.filePath("d.ovd"), "--wells", "A1-A4"},
               dir.path(), 120000);
    const QString journal = journalNamedIn(r.err);
    EXPECT_TRUE(QFile::remove(journal)) << r.err.toStdString();
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.err.count(" went away "), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith(
        "vantorix-cli: The connection to the instrument was lost: " + sim.path() + " went away "))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("\nvantorix-cli: The run's 4 readings are kept for recovery in " +
                               journal +
                               " (vantorix-cli recover)\nvantorix-cli: No dataset was "
                               "completed; nothing was saved.\n"))
        << r.err.toStdString();
}

// When neither the file nor a journal holds every reading (no journal could be made, or its
// disk filled), the tool says so and prints the readings as `show` does, before exiting with 1.
TEST(CliRun, ReadingsKeptNowhereElseArePrinted) {
    TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("file"), "x");
    const QString home = disk.path() + "/home";
    for (const char* folder : {"/.local/share/vantorix/recovery", "/Documents/Vantorix"})
        ASSERT_TRUE(QDir().mkpath(home + folder));
    disk.fillLeaving(4096);  // the journal's header and a few readings fit
    const struct {
        const char* name;
        QString home, out, journalNote, lost;
    } cases[] = {
        {"no journal", dir.filePath("file"), dir.filePath("file/a.ovd"),
         "The run journal could not be created (cannot create the recovery folder " +
             dir.filePath("file") + "/.local/share/vantorix/recovery)",
         "The run's 12 readings are kept in no file and no journal; they follow on standard "
         "output. Copy them now: nothing else holds them.\n"},
        {"journal disk full", home, disk.path() + "/b.ovd",
         "The run journal could not be written (" + home + "/.local/share/vantorix/recovery/",
         "The run's 12 readings are kept in no file and no journal (the journal " + home +
             "/.local/share/vantorix/recovery/"},
    };
    Simulator sims[2];
    QProcess runs[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(sims[i].path().startsWith("/dev/"));
        startWithHome(runs[i],
                      {"run", "--port", sims[i].path(), "--out", cases[i].out, "--wells", "A1-A12",
                       "--notes", QString(3400, u'n')},
                      cases[i].home);
    }
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(runs[i].waitForFinished(120000));
        const QString text = QString::fromUtf8(runs[i].readAll());
        EXPECT_EQ(runs[i].exitCode(), 1) << text.toStdString();
        const qsizetype journalNote = text.indexOf(cases[i].journalNote);
        const qsizetype firstReading = text.indexOf("Reading: A, 1 = ");
        EXPECT_GE(journalNote, 0) << text.toStdString();
        if (i == 0) {
            EXPECT_LT(journalNote, firstReading) << text.toStdString();
        }
        const qsizetype lost = text.indexOf(cases[i].lost);
        ASSERT_GE(lost, 0) << text.toStdString();
        // After the note the readings themselves: A1-A12 read, the rest of the plate not.
        const QStringList grid = text.mid(lost).section("Sets: 1\nSet: 1\n", 1).split(u'\n');
        ASSERT_GE(grid.size(), 9) << text.toStdString();
        EXPECT_EQ(grid[0], "\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12");
        const QStringList a = grid[1].split(u'\t');
        ASSERT_EQ(a.size(), 13) << text.toStdString();
        EXPECT_EQ(a.count("X"), 0) << grid[1].toStdString();
        EXPECT_EQ(grid[8], "H\tX\tX\tX\tX\tX\tX\tX\tX\tX\tX\tX\tX");
    }
    for (const QString& journal :
         QDir(home + "/.local/share/vantorix/recovery").entryList(QDir::Files))
        QFile::remove(home + "/.local/share/vantorix/recovery/" + journal);
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

// A run with a protocol takes the protocol's options (here extra sensitivity), and the options
// given change them for this run only (one well, a single glow run without priming). The history
// holds the run's start with the protocol and its SHA-256, the file saved and the completed run.
TEST(CliRun, ProtocolOptionsWithOverridesAreRunAndRecordedInTheHistory) {
    OwnDataFolder data;
    QTemporaryDir dir;
    const QString in = dir.filePath("lab.protocol");
    writeFileBytes(in, kSampleProtocol.toUtf8());
    ASSERT_EQ(runCli({"protocol", "import", in}).exitCode, 0);
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    const QString out = dir.filePath("p.ovd");
    const CliResult r = runCli(
        {"run", "--port", sim.path(), "--out", out, "--protocol", "Glow ELISA (plate 2)", "--wells",
         "H12", "--repeats", "1", "--reaction", "glow", "--prime1", "0", "--operator", "Ann"},
        dir.path(), 90000);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_EQ(r.err, "");
    const QByteArray bytes = readFileBytes(out);
    EXPECT_TRUE(bytes.contains("<row-000>000000000000</row-000>"));
    EXPECT_TRUE(bytes.contains("<row-007>000000000001</row-007>"));
    EXPECT_TRUE(bytes.contains(">On</extra-sensitivity-option>"));

    const QString sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    history::History db(history::defaultHistoryPath());
    std::vector<std::tuple<QString, QString, history::Fields>> events;
    for (const history::StoredEvent& e : db.events())
        events.emplace_back(history::kindName(e.event.kind), e.event.file, e.event.fields);
    const std::vector<std::tuple<QString, QString, history::Fields>> expected{
        {"run.started",
         "",
         {{"protocol", "Glow ELISA (plate 2)"},
          {"protocol_sha256", "d8b9559b5f5cff0929fbf1a6e72c914ff2eeeb038194bf1c963b6719688c8612"}}},
        {"file.saved", out, {{"sha256", sha}}},
        {"run.completed", out, {{"sets", "1"}}},
    };
    EXPECT_EQ(events, expected);
    const std::vector<history::RunRow> runs = db.runs({});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].facts.path, out);
    EXPECT_EQ(runs[0].facts.header.operatorName, "Ann");
    EXPECT_EQ(runs[0].facts.protocol, "Glow ELISA (plate 2)");
    EXPECT_EQ(runs[0].facts.wells, 1);
}

// A history on a full disk stops nothing: the run is saved, and one line says so.
TEST(CliRun, AnUnwritableHistoryIsToldOnceAndTheRunCompletes) {
    TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    {
        vantorix::QSettingsStore store;
        store.write("History", "Database", disk.path() + "/history.sqlite");
        store.sync();
    }
    disk.fillLeaving(0);
    Simulator sim;
    ASSERT_TRUE(sim.path().startsWith("/dev/"));
    QTemporaryDir dir;
    const QString out = dir.filePath("q.ovd");
    const CliResult r =
        runCli({"run", "--port", sim.path(), "--out", out, "--wells", "A1"}, dir.path(), 90000);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readFileBytes(out).contains("<row-000>100000000000</row-000>"));
    EXPECT_EQ(r.err.count("\n"), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("vantorix-cli: The run history " + disk.path() +
                                 "/history.sqlite could not be written"))
        << r.err.toStdString();
}
