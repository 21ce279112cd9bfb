// One dataset over a real pseudo-terminal at line speed, against `vantorix-cli simulate` in
// another process. Reports (a) this process's CPU time as a share of the wall time and (b) the
// wall time divided by the protocol's own minimum: the same run in virtual time, where only
// the prescribed pauses, the instrument's per-well time and the bytes at 2400 baud take time.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "kernel/DataPaths.h"
#include "measurement/RunSequence.h"
#include "plate/DocumentSession.h"
#include "serial/QtSerialPort.h"
#include "simulator/PairHarness.h"

using namespace vantorix;

namespace {

class SilentFrontEnd : public RunFrontEnd {
  public:
    QString path;
    void askDataFileName(const QString&, const QString&, std::function<void(QString)> a) override {
        a(path);
    }
    void askRetryCancel(const QString&, const QString&, std::function<void(bool)> a) override {
        a(false);
    }
    void askOkCancel(const QString&, std::function<void(bool)> a) override { a(true); }
    void notify(const QString&) override {}
    void reportError(const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    void setStatusLine(const QString&, bool) override {}
    void setMessageLine(const QString&, bool) override {}
};

constexpr quint32 kSeed = 11;
constexpr int kWells = 12;  // plate row A

void prepare(DocumentSession& s) {
    for (auto& row : s.runOptions().SelectedWells) row.fill(false);
    for (int c = 0; c < kWells; ++c) s.runOptions().SelectedWells[0][c] = true;
}

// The protocol's minimum: the same run in virtual time.
qint64 virtualDuration_ms(const QString& folder) {
    sim::SimulatorConfig config;
    config.seed = kSeed;
    sim::PairHarness pair(config);
    DocumentSession s;
    RunOptions defaults;
    prepare(s);
    DataFolders folders{folder, folder};
    SilentFrontEnd ui;
    ui.path = folder + QStringLiteral("/virtual.ovd");
    RunSequence run(s, defaults, folders, pair.port(), pair.scheduler(), ui);
    run.setJournalFolder(folder + QStringLiteral("/virtual-journal"));
    run.start();
    pair.runUntil([&] { return !run.running(); }, 3'600'000);
    return pair.now_ms();
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const qint64 minimum_ms = virtualDuration_ms(dir.path());

    QProcess simulator;
    simulator.start(QStringLiteral(VANTORIX_CLI_PATH),
                    {"simulate", "--seed", QString::number(kSeed)});
    if (!simulator.waitForReadyRead(10000)) return 1;
    const QString device = QString::fromUtf8(simulator.readLine()).trimmed();

    DocumentSession s;
    RunOptions defaults;
    prepare(s);
    DataFolders folders{dir.path(), dir.path()};
    QtSerialPort port;
    port.setPortName(device);
    QtScheduler scheduler;
    SilentFrontEnd ui;
    ui.path = dir.filePath(QStringLiteral("real.ovd"));
    RunSequence run(s, defaults, folders, port, scheduler, ui);
    // The run journals every reading durably, as it does for the user; --no-journal gives the
    // figure to compare with.
    const bool journal = !app.arguments().contains(QStringLiteral("--no-journal"));
    run.setJournalFolder(journal ? dir.filePath(QStringLiteral("journal")) : QString());

    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    run.start();
    while (run.running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 wall_ms = wall.elapsed();
    const double cpu = cpuSeconds() - cpu0;
    simulator.terminate();
    simulator.waitForFinished();

    std::printf("run of %d wells over %s, %s: %s\n", kWells, qPrintable(device),
                journal ? "journal on" : "no journal",
                run.outcome() == RunOutcome::Completed ? "completed" : "FAILED");
    std::printf("wall time           %8.3f s\n", wall_ms / 1000.0);
    std::printf("protocol minimum    %8.3f s (same run in virtual time)\n", minimum_ms / 1000.0);
    std::printf("wall / minimum      %8.4f   (target < 1.05)\n", double(wall_ms) / minimum_ms);
    std::printf("CPU time            %8.3f s = %.3f%% of wall (target < 2%%)\n", cpu,
                100.0 * cpu / (wall_ms / 1000.0));
    return run.outcome() == RunOutcome::Completed ? 0 : 1;
}
