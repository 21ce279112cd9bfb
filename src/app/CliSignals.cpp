#include "app/CliSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>
#include <vector>

namespace vantorix::cli {

namespace {

// The handler only writes a byte; the event loop reads it and calls the tool's handler.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &b, 1);
}

std::vector<int> signalsOf(StopSignals which) {
    switch (which) {
        case StopSignals::Interrupt:
            return {SIGINT};
        case StopSignals::InterruptTerminate:
            return {SIGINT, SIGTERM};
        case StopSignals::InterruptTerminateHangUp:
            break;
    }
    return {SIGINT, SIGTERM, SIGHUP};
}

}  // namespace

bool onSignals(QObject* parent, StopSignals which, std::function<void()> handler) {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [handler] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        handler();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : signalsOf(which)) ::sigaction(sig, &action, nullptr);
    return true;
}

}  // namespace vantorix::cli
