// The simulated instrument on a real pseudo-terminal, through the program's QSerialPort
// adapter, and `vantorix-cli simulate` as a person would use it. Real time: kept short.
#include "simulator/PtyHost.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
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

// Ten handshakes (70 bytes in, 30 out: about 0.42 s of line time) come back paced at line
// speed; then a dataset, cut off by the drop-out fault.
TEST(PtyHost, AnswersAProgramOnAPseudoTerminalAtLineSpeedAndHangsUpOnDropOut) {
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

    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(port.write("START\r\n"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            got += port.read();
            return got.count('O') == 10;
        },
        5000));
    EXPECT_GE(clock.elapsed(), 300);
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
    host.stop();
    EXPECT_TRUE(host.slavePath().isEmpty());
}

TEST(CliSimulate, RejectsBadOptionsWithAReason) {
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {{{"simulate", "--fault", "bogus"}, "unknown fault 'bogus'"},
                 {{"simulate", "--seed", "x"}, "--seed"},
                 {{"simulate", "--well-time", "-1"}, "--well-time"},
                 {{"simulate", "--fault"}, "needs a value"},
                 {{"simulate", "--colour", "red"}, "unknown option"}};
    for (const auto& c : cases) {
        const auto r = vantorix::test::runCli(c.args, {}, 5000);
        EXPECT_EQ(r.exitCode, 2) << c.says;
        EXPECT_TRUE(r.err.contains(c.says)) << c.says;
    }
}
