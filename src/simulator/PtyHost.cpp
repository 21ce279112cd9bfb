#include "simulator/PtyHost.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kernel/Scheduler.h"
#include "simulator/PacedChannel.h"
#include "simulator/SimulatedInstrument.h"

namespace vantorix::sim {

struct PtyHost::Impl : InstrumentLink {
    SimulatorConfig config;
    int baud;
    std::function<void()> hungUp;

    QtScheduler scheduler;
    int master = -1;
    // Kept open so that the master does not see a hang-up each time the program closes its
    // side, and so that the terminal is raw (no echo) before anyone opens it.
    int slave = -1;
    QString path;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<PacedChannel> toInstrument;
    std::unique_ptr<PacedChannel> toProgram;
    std::unique_ptr<SimulatedInstrument> instrument;
    bool hangingUp = false;

    Impl(SimulatorConfig c, int b) : config(std::move(c)), baud(b) {}
    ~Impl() override { close(); }

    bool open(QString* error);
    void close();
    void readMaster();
    void writeMaster(const QByteArray& bytes);
    void send(const QByteArray& bytes) override {
        if (toProgram) toProgram->send(bytes);
    }
    void hangUp() override;
    void setBaud(int newBaud) override {
        if (toInstrument) toInstrument->setBaud(newBaud);
        if (toProgram) toProgram->setBaud(newBaud);
    }
};

bool PtyHost::Impl::open(QString* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
        close();
        return false;
    };
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return fail("cannot open a pseudo-terminal");
    if (grantpt(master) != 0 || unlockpt(master) != 0)
        return fail("cannot unlock the pseudo-terminal");
    char name[128] = {};
    if (ptsname_r(master, name, sizeof name) != 0) return fail("cannot name the pseudo-terminal");
    slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) return fail("cannot open the pseudo-terminal's device");
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    path = QString::fromLocal8Bit(name);
    return true;
}

void PtyHost::Impl::close() {
    instrument.reset();
    toInstrument.reset();
    toProgram.reset();
    notifier.reset();
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
    master = slave = -1;
    path.clear();
}

void PtyHost::Impl::readMaster() {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
            toInstrument->send(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;  // EAGAIN: all read; EIO cannot happen while the slave is held open
    }
}

void PtyHost::Impl::writeMaster(const QByteArray& bytes) {
    // Like a line without flow control: what the terminal cannot take is lost.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (!(n < 0 && errno == EINTR)) {
            return;
        }
    }
}

void PtyHost::Impl::hangUp() {
    if (hangingUp || !toProgram) return;
    hangingUp = true;
    // A scheduler call never runs inside the caller, so the instrument is not torn down
    // under its own feet.
    scheduler.callAt(toProgram->drainedAt_ms(), [this] {
        close();
        hangingUp = false;
        if (hungUp) hungUp();
    });
}

PtyHost::PtyHost(SimulatorConfig config, int baud)
    : d(std::make_unique<Impl>(std::move(config), baud)) {}

PtyHost::~PtyHost() = default;

bool PtyHost::start(QString* error) {
    stop();
    if (!d->open(error)) return false;
    Impl* impl = d.get();
    impl->toInstrument = std::make_unique<PacedChannel>(
        impl->scheduler, impl->baud,
        [impl](const QByteArray& b, qint64 now) { impl->instrument->feed(b, now); });
    impl->toProgram = std::make_unique<PacedChannel>(
        impl->scheduler, impl->baud, [impl](const QByteArray& b, qint64) { impl->writeMaster(b); });
    impl->instrument = std::make_unique<SimulatedInstrument>(impl->scheduler, *impl, impl->config);
    impl->notifier = std::make_unique<QSocketNotifier>(impl->master, QSocketNotifier::Read);
    QObject::connect(impl->notifier.get(), &QSocketNotifier::activated,
                     [impl] { impl->readMaster(); });
    return true;
}

QString PtyHost::slavePath() const {
    return d->path;
}

void PtyHost::stop() {
    d->close();
}

bool PtyHost::isRunning() const {
    return d->master >= 0;
}

SimulatedInstrument* PtyHost::instrument() const {
    return d->instrument.get();
}

void PtyHost::setHungUpHandler(std::function<void()> handler) {
    d->hungUp = std::move(handler);
}

}  // namespace vantorix::sim
