// The adapter on a real pseudo-terminal: bytes both ways, and a far end that goes away.
#include "serial/QtSerialPort.h"
#include "serial/SerialDeviceAccess.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
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

TEST(QtSerialPort, CarriesBytesBothWaysOnAPseudoTerminal) {
    ensureApp();
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    // Opened by a link, as an adapter remembered by its /dev/serial/by-id name is.
    QTemporaryDir byId;
    const QString link = byId.filePath("usb-Maker_Adapter_A9XK2-if00-port0");
    ASSERT_TRUE(QFile::link(pty.path, link));
    QtSerialPort port;
    port.setPortName(link);
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
