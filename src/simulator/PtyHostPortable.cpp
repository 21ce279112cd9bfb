// Where there are no pseudo-terminals: the simulated instrument cannot be put on a terminal,
// and start() says so. Tests still pair the program with it in memory (PairHarness).
#include "simulator/PtyHost.h"

#include "simulator/SimulatedInstrument.h"

namespace vantorix::sim {

struct PtyHost::Impl {};

PtyHost::PtyHost(SimulatorConfig, int) {}

PtyHost::~PtyHost() = default;

bool PtyHost::start(QString* error) {
    if (error)
        *error = QStringLiteral(
            "the simulated instrument needs a POSIX system: it runs on a pseudo-terminal");
    return false;
}

QString PtyHost::slavePath() const {
    return {};
}

void PtyHost::stop() {}

bool PtyHost::isRunning() const {
    return false;
}

SimulatedInstrument* PtyHost::instrument() const {
    return nullptr;
}

void PtyHost::setHungUpHandler(std::function<void()>) {}

}  // namespace vantorix::sim
