// vantorix-cli firmware against the simulated instrument on a pseudo-terminal, in real time
// (the shell's line runs at 9600 baud, so the image is kept small).
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <csignal>

#include "FirmwareTestSupport.h"
#include "simulator/PtyHost.h"
#include "simulator/ShellMode.h"
#include "simulator/SimulatedInstrument.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// Runs the event loop (the simulated instrument lives on it) until the process ends; when
// interruptAt is given, sends SIGINT once stdout shows it.
void runToEnd(QProcess& cli, const QByteArray& interruptAt = {}) {
    QEventLoop loop;
    QByteArray out;
    QObject::connect(&cli, &QProcess::readyReadStandardOutput, [&] {
        out += cli.readAllStandardOutput();
        if (!interruptAt.isEmpty() && out.contains(interruptAt)) {
            ::kill(cli.processId(), SIGINT);
            QObject::disconnect(&cli, &QProcess::readyReadStandardOutput, nullptr, nullptr);
        }
    });
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TEST(cli_firmware, SendsTheImageToTheSimulatedInstrument) {
    ensureApp();
    QTemporaryDir dir;
    // VANTORIX_FIRMWARE_TEST_KB=200 sends a full-size image (about four minutes).
    const qint64 kilobytes = qEnvironmentVariableIntValue("VANTORIX_FIRMWARE_TEST_KB");
    const QByteArray image = imageBytes((kilobytes > 0 ? kilobytes : 8) * 1024 + 3);
    const QString path = writeImage(dir, image, "new firmware.bin");
    sim::PtyHost host;
    ASSERT_TRUE(host.start());
    QProcess cli;
    cli.start(VANTORIX_CLI_PATH, {"firmware", "--port", host.slavePath(), "--image", path});
    runToEnd(cli);
    const QString err = cli.readAllStandardError();
    EXPECT_EQ(cli.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(host.instrument()->shell().file("melto.exe"), padded(image));
    EXPECT_FALSE(host.instrument()->inShell());  // "melto" started the new firmware
}

TEST(cli_firmware, CtrlCCancelsAndAMissingImageFails) {
    ensureApp();
    QTemporaryDir dir;
    const QString path = writeImage(dir, imageBytes(64 * 1024));
    sim::PtyHost host;
    ASSERT_TRUE(host.start());
    QProcess cli;
    cli.start(VANTORIX_CLI_PATH, {"firmware", "--port", host.slavePath(), "--image", path});
    runToEnd(cli, "2%");
    EXPECT_EQ(cli.exitCode(), 3);
    EXPECT_TRUE(cli.readAllStandardError().contains("cancelled"));

    const CliResult missing =
        runCli({"firmware", "--port", host.slavePath(), "--image", dir.filePath("none.bin")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("none.bin")) << missing.err.toStdString();
    writeImage(dir, {}, "empty.bin");
    const CliResult empty =
        runCli({"firmware", "--port", host.slavePath(), "--image", dir.filePath("empty.bin")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.err.contains("empty")) << empty.err.toStdString();
}
