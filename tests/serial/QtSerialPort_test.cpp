// The adapter on a real pseudo-terminal: bytes both ways, and a far end that goes away.
#include "serial/QtSerialPort.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QTest>

using namespace vantorix;

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "test_serial";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

// A pseudo-terminal whose master end the test holds.
struct Pty {
    int master = -1;
    QString path;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        path = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    QByteArray readMaster(int timeout_ms) {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                char buf[256];
                fcntl(master, F_SETFL, O_NONBLOCK);
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) got.append(buf, n);
                return got.endsWith('\n');
            },
            timeout_ms);
        return got;
    }
};

}  // namespace

TEST(QtSerialPort, PortNumberNamesThePlatformsPort) {
    QtSerialPort port;
    port.setPortNumber(3);
#ifdef Q_OS_WIN
    EXPECT_EQ(port.device(), "COM3");
#else
    EXPECT_EQ(port.device(), "/dev/ttyS2");
#endif
    port.setPortName("/dev/ttyUSB0");
    EXPECT_EQ(port.device(), "/dev/ttyUSB0");  // a name wins over the number
    port.setSettings("2400,n,8,1");
    EXPECT_EQ(port.settings(), "2400,n,8,1");  // reported as given
}

TEST(QtSerialPort, OpeningAMissingDeviceSaysWhich) {
    QtSerialPort port;
    port.setPortName("/dev/no-such-port-h3");
    QString error;
    EXPECT_FALSE(port.open(&error));
    EXPECT_TRUE(error.contains("/dev/no-such-port-h3")) << error.toStdString();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write("START\r\n"));
}

TEST(QtSerialPort, CarriesBytesBothWaysOnAPseudoTerminal) {
    ensureApp();
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    QtSerialPort port;
    port.setPortName(pty.path);
    port.setSettings("2400,n,8,1");
    QString error;
    ASSERT_TRUE(port.open(&error)) << error.toStdString();
    int ready = 0;
    port.setReadyHandler([&] { ++ready; });

    ASSERT_TRUE(port.write("START\r\n"));
    EXPECT_EQ(pty.readMaster(2000), "START\r\n");

    ASSERT_EQ(::write(pty.master, "O\r\n&\r\n", 6), 6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.bytesWaiting() >= 6; }, 2000));
    EXPECT_GT(ready, 0);
    port.setInputLen(2);
    EXPECT_EQ(port.read(), "O\r");
    port.setInputLen(0);
    EXPECT_EQ(port.read(), "\n&\r\n");
    EXPECT_EQ(port.read(), "");
}

TEST(QtSerialPort, AFarEndThatClosesIsReportedOnceAndThePortCloses) {
    ensureApp();
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    QtSerialPort port;
    port.setPortName(pty.path);
    ASSERT_TRUE(port.open());
    QStringList errors;
    port.setErrorHandler([&](const QString& reason) { errors << reason; });

    pty.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 3000));
    QTest::qWait(300);  // a looping error would pile up reports meanwhile
    EXPECT_EQ(errors.size(), 1) << errors.join(" | ").toStdString();
    EXPECT_TRUE(errors.front().contains(pty.path)) << errors.front().toStdString();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write("G\r\n"));
}

// Lines written just before close (the last "S" of a cancelled run, "Z") still reach the line,
// and a line that takes nothing does not hold the close beyond its bound.
TEST(QtSerialPort, CloseHandsPendingOutputToTheLineFirst) {
    ensureApp();
    const struct { QByteArray written; } cases[] = {{"S\r\n"}, {"Z\r\nSTART\r\n"}, {"S\r\nS\r\n"}};
    for (const auto& c : cases) {
        Pty pty;
        ASSERT_FALSE(pty.path.isEmpty());
        QtSerialPort port;
        port.setPortName(pty.path);
        ASSERT_TRUE(port.open());
        ASSERT_TRUE(port.write(c.written));
        port.close();  // no event loop turn between the write and the close
        QByteArray got;
        while (got.size() < c.written.size()) {
            const QByteArray more = pty.readMaster(2000);
            if (more.isEmpty()) break;
            got += more;
        }
        EXPECT_EQ(got, c.written);
    }
}
