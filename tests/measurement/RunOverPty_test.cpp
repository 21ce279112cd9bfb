// One dataset end to end in real time: the run on a real serial port (QSerialPort) talking to
// the simulated instrument on a pseudo-terminal at line speed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "RunFixture.h"
#include "serial/QtSerialPort.h"
#include "simulator/PtyHost.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {
QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_measurement";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)instance;
    return *QCoreApplication::instance();
}
}  // namespace

TEST(RunOverPty, OneDatasetThroughARealPort) {
    app();
    sim::SimulatorConfig config;
    config.wellTime_ms = 100;
    sim::PtyHost host(config);
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();

    QTemporaryDir dir;
    ProgramState state;
    state.DataFolder = state.AppFolder = dir.path();
    for (auto& row : state.CurrentOptions.SelectedWells) row.fill(false);
    state.CurrentOptions.SelectedWells[0][0] = state.CurrentOptions.SelectedWells[7][11] = true;
    QtSerialPort port;
    port.setPortName(host.slavePath());
    QtScheduler scheduler;
    ScriptedFrontEnd ui(scheduler);
    ui.fileAnswer = dir.filePath(QStringLiteral("pty.ovd"));
    RunSequence run(state, port, scheduler, ui);

    run.start();
    QElapsedTimer clock;
    clock.start();
    while (run.running() && clock.elapsed() < 90'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    port.close();

    ASSERT_FALSE(run.running());
    EXPECT_EQ(run.outcome(), RunOutcome::Completed) << run.failure().toStdString();
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(state.keyStore.value(kRootKey + ".data.sets"), "1");
    EXPECT_NE(state.readings.at(1, 1, 1).Value, "-1");
    EXPECT_NE(state.readings.at(1, 8, 12).Value, "-1");
    EXPECT_EQ(state.readings.at(1, 4, 4).Value, "-1");
    // The options block alone takes 96 x 0.1 s + 8 x 0.7 s of pauses.
    EXPECT_GT(clock.elapsed(), 15'000);
}
