// The adapter on a real pseudo-terminal: bytes both ways, and a far end that goes away.
#include "serial/QtSerialPort.h"
#include "serial/SerialDeviceAccess.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "serial/PseudoTerminal.h"

using namespace vantorix;
using vantorix::test::Pty;

namespace {

// The port opened with default settings on the pseudo-terminal's device.
testing::AssertionResult openOnTerminal(QtSerialPort& port, const Pty& pty) {
    if (pty.path.isEmpty()) return testing::AssertionFailure() << "no pseudo-terminal";
    port.setPortName(pty.path);
    if (!port.open())
        return testing::AssertionFailure() << "cannot open " << pty.path.toStdString();
    return testing::AssertionSuccess();
}

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

// A port that cannot be opened is explained in words a lab user can act on.
TEST(QtSerialPort, AFailedOpenSaysWhatIsWrongWithTheDevice) {
    QTemporaryDir dir;
    const QString file = dir.filePath("plain-file");
    QFile(file).open(QIODevice::WriteOnly);
    const struct {
        QString device, error;
    } cases[] = {
        {"/dev/no-such-port-h3",
         "There is no serial port /dev/no-such-port-h3. Is the instrument's cable or adapter "
         "plugged in, and is the port chosen under Settings > Communications the right one?"},
        {file, file + " is not a serial port."},
        {dir.path(), dir.path() + " is not a serial port."},
    };
    for (const auto& c : cases) {
        QtSerialPort port;
        port.setPortName(c.device);
        QString error;
        EXPECT_FALSE(port.open(&error));
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(port.isOpen());
        EXPECT_FALSE(port.write("START\r\n"));
    }
}

// Refused access names the group that owns the device and that a new login is needed.
TEST(SerialDeviceAccess, PermissionAdviceNamesTheDevicesGroup) {
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyS9");
    QFile(device).open(QIODevice::WriteOnly);
    const struct group* dialout = ::getgrnam("dialout");
    if (!dialout || ::chown(QFile::encodeName(device).constData(), 0, dialout->gr_gid) != 0)
        GTEST_SKIP() << "needs a group 'dialout' and the right to give it a file";
    EXPECT_EQ(deviceGroup(device), "dialout");
    EXPECT_EQ(devicePermissionAdvice(device),
              "You are not allowed to use " + device +
                  ": it belongs to the group 'dialout'. Ask your administrator to add you to "
                  "that group (sudo usermod -aG dialout YOUR-NAME), then log out and log in "
                  "again: the new membership counts only from a new login.");
    EXPECT_EQ(describeOpenFailure("/dev/null", QSerialPort::PermissionError, "locked"),
              ::access("/dev/null", R_OK | W_OK) == 0
                  ? "The serial port /dev/null is in use by another program. Close that program "
                    "(or the other window of this one) and try again."
                  : devicePermissionAdvice("/dev/null"));
    EXPECT_EQ(describeLinkFailure("/dev/ttyUSB0", QSerialPort::ResourceError, "x"),
              "/dev/ttyUSB0 went away (the cable or adapter was unplugged, or the instrument was "
              "switched off)");
}

// The speed and stop bits reach the device (read back from the terminal; a pseudo-terminal
// keeps 8 data bits and no parity whatever is asked), and bytes go both ways.
TEST(QtSerialPort, SetsTheLineAndCarriesBytesBothWaysOnAPseudoTerminal) {
    test::ensureApp();
    const struct {
        const char* settings;
        speed_t speed;
        bool twoStopBits;
    } cases[] = {{"2400,n,8,1", B2400, false}, {"9600,N,8,2", B9600, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        Pty pty;
        ASSERT_FALSE(pty.path.isEmpty());
        // Opened before the port, which then takes the device for itself.
        const int device = ::open(pty.path.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY);
        ASSERT_GE(device, 0);
        // Opened by a link, as an adapter remembered by its /dev/serial/by-id name is.
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Maker_Adapter_A9XK2-if00-port0");
        ASSERT_TRUE(QFile::link(pty.path, link));
        QtSerialPort port;
        port.setPortName(link);
        port.setSettings(c.settings);
        QString error;
        ASSERT_TRUE(port.open(&error)) << error.toStdString();
        termios line{};
        ASSERT_EQ(tcgetattr(device, &line), 0);
        ::close(device);
        EXPECT_EQ(cfgetospeed(&line), c.speed);
        EXPECT_EQ(cfgetispeed(&line), c.speed);
        EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits);

        int ready = 0;
        const auto counting = port.onReady([&] { ++ready; });
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
}

TEST(QtSerialPort, AFarEndThatClosesIsReportedOnceAndThePortCloses) {
    test::ensureApp();
    Pty pty;
    QtSerialPort port;
    ASSERT_TRUE(openOnTerminal(port, pty));
    QStringList errors;
    const auto listening = port.onError([&](const QString& reason) { errors << reason; });

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
    test::ensureApp();
    const struct { QByteArray written; } cases[] = {{"S\r\n"}, {"Z\r\nSTART\r\n"}, {"S\r\nS\r\n"}};
    for (const auto& c : cases) {
        Pty pty;
        QtSerialPort port;
        ASSERT_TRUE(openOnTerminal(port, pty));
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

// A far end that floods the line (noise, a device that is no instrument) fills no more than a
// bounded buffer in the port: the rest waits in the terminal until the port is read.
TEST(QtSerialPort, AFloodIsHeldWithinABoundedBuffer) {
    test::ensureApp();
    Pty pty;
    QtSerialPort port;
    ASSERT_TRUE(openOnTerminal(port, pty));
    ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
    const QByteArray chunk(4096, '~');
    qint64 written = 0;
    QElapsedTimer flooding;
    flooding.start();
    while (flooding.elapsed() < 1500) {
        const ssize_t n = ::write(pty.master, chunk.constData(), chunk.size());
        if (n > 0) written += n;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_GT(written, 64 * 1024);  // more than the port may hold came
    EXPECT_GT(port.bytesWaiting(), 0);
    EXPECT_LE(port.bytesWaiting(), 64 * 1024);
    EXPECT_LE(port.read().size(), 64 * 1024);
}
