// The simulated instrument on a real pseudo-terminal, through the program's QSerialPort
// adapter, and `vantorix-cli simulate` as a person would use it. Real time: kept short.
#include "simulator/PtyHost.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "SimulatorTestSupport.h"
#include "serial/QtSerialPort.h"

using namespace vantorix;
using namespace vantorix::sim;

namespace {

// Waits for text containing needle on the port, gathering what it reads.
bool receive(QtSerialPort& port, QByteArray& got, const QByteArray& needle, int timeout_ms) {
    return QTest::qWaitFor(
        [&] {
            got += port.read();
            return got.contains(needle);
        },
        timeout_ms);
}

}  // namespace

TEST(PtyHost, AnswersAProgramOnAPseudoTerminalAndHangsUpOnDropOut) {
    vantorix::test::ensureApp();
    SimulatorConfig config;
    config.wellTime_ms = 50;
    ASSERT_TRUE(config.faults.add("drop-out"));
    PtyHost host(config);
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    ASSERT_TRUE(host.slavePath().startsWith("/dev/")) << host.slavePath().toStdString();
    bool hungUp = false;
    host.setHungUpHandler([&] { hungUp = true; });

    QtSerialPort port;
    port.setPortName(host.slavePath());
    ASSERT_TRUE(port.open(&error)) << error.toStdString();
    QStringList errors;
    const auto listening = port.onError([&](const QString& e) { errors << e; });

    QByteArray got;
    ASSERT_TRUE(port.write("START\r\n"));
    ASSERT_TRUE(receive(port, got, "O\r\n", 2000));
    ASSERT_TRUE(port.write(sim::test::optionsBlock({0})));
    ASSERT_TRUE(receive(port, got, "&", 5000)) << got.toStdString();
    ASSERT_TRUE(port.write("G\r\n"));
    ASSERT_TRUE(receive(port, got, "[", 5000)) << got.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hungUp && !errors.isEmpty(); }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(host.isRunning());
    EXPECT_TRUE(got.contains("<Reading: A, 1 = ")) << got.toStdString();
}

TEST(PtyHost, PacesItsOutputAtLineSpeed) {
    vantorix::test::ensureApp();
    PtyHost host;
    ASSERT_TRUE(host.start());
    QtSerialPort port;
    port.setPortName(host.slavePath());
    ASSERT_TRUE(port.open());
    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    // Ten handshakes: 70 bytes in, 30 bytes out, about 0.42 s of line time.
    for (int i = 0; i < 10; ++i) port.write("START\r\n");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            got += port.read();
            return got.count('O') == 10;
        },
        5000));
    EXPECT_GE(clock.elapsed(), 300);
    host.stop();
    EXPECT_TRUE(host.slavePath().isEmpty());
}

TEST(CliSimulate, PrintsThePathAndAnswersStartThenTheOptionsBlock) {
    vantorix::test::ensureApp();
    QProcess cli;
    cli.start(QStringLiteral(VANTORIX_CLI_PATH),
              {"simulate", "--seed", "3", "--well-time", "0.1", "--fault", "garbage=2"});
    ASSERT_TRUE(cli.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cli.canReadLine(); }, 5000));
    const QString path = QString::fromLocal8Bit(cli.readLine()).trimmed();
    ASSERT_TRUE(path.startsWith("/dev/")) << path.toStdString();

    QtSerialPort port;
    port.setPortName(path);
    QString error;
    ASSERT_TRUE(port.open(&error)) << error.toStdString();
    QByteArray got;
    port.write("START\r\n");
    EXPECT_TRUE(receive(port, got, "O", 2000));
    port.write(sim::test::optionsBlock({5}));
    EXPECT_TRUE(receive(port, got, "&", 5000)) << got.toStdString();
    EXPECT_TRUE(got.contains("X"));
    port.close();

    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(5000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0);
}

TEST(CliSimulate, RejectsBadOptionsWithAReason) {
    vantorix::test::ensureApp();
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {{{"simulate", "--fault", "bogus"}, "unknown fault 'bogus'"},
                 {{"simulate", "--seed", "x"}, "--seed"},
                 {{"simulate", "--well-time", "-1"}, "--well-time"},
                 {{"simulate", "--fault"}, "needs a value"},
                 {{"simulate", "--colour", "red"}, "unknown option"}};
    for (const auto& c : cases) {
        QProcess cli;
        cli.start(QStringLiteral(VANTORIX_CLI_PATH), c.args);
        ASSERT_TRUE(cli.waitForFinished(5000));
        EXPECT_EQ(cli.exitCode(), 2) << c.says;
        EXPECT_TRUE(cli.readAllStandardError().contains(c.says)) << c.says;
    }
}
