// A pseudo-terminal whose master end the test holds: its other end is a device path that
// exists but that no port listing shows.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <QByteArray>
#include <QString>
#include <QTest>

namespace vantorix::test {

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
    // What arrives on the master end within timeout_ms, up to a line end.
    QByteArray readMaster(int timeout_ms) {
        QByteArray got;
        fcntl(master, F_SETFL, O_NONBLOCK);
        (void)QTest::qWaitFor(
            [&] {
                char buf[256];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) got.append(buf, n);
                // A pty hands over what was written piece by piece: stop only once drained.
                return n <= 0 && got.endsWith('\n');
            },
            timeout_ms);
        return got;
    }
};

}  // namespace vantorix::test
