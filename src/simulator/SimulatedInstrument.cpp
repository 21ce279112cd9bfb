#include "simulator/SimulatedInstrument.h"

#include "simulator/MeasurementMode.h"
#include "simulator/ShellMode.h"

namespace vantorix::sim {

SimulatedInstrument::SimulatedInstrument(Scheduler& scheduler, InstrumentLink& link,
                                         SimulatorConfig config)
    : config_(std::move(config)),
      link_(link),
      writer_(scheduler, link, config_.faults, config_.seed),
      measurement_(std::make_unique<MeasurementMode>(scheduler, writer_, config_)),
      shell_(std::make_unique<ShellMode>(scheduler, link, [this] { leaveShell(); })),
      mode_(measurement_.get()) {}

SimulatedInstrument::~SimulatedInstrument() = default;

bool SimulatedInstrument::inShell() const {
    return mode_ == shell_.get();
}

void SimulatedInstrument::feed(QByteArrayView bytes, qint64 now_ms) {
    if (!inShell()) {
        const qsizetype quitEnd = ShellMode::findQuitLine(quitLine_, bytes);
        if (quitEnd >= 0) {
            mode_->feed(bytes.first(quitEnd), now_ms);
            enterShell();
            bytes = bytes.sliced(quitEnd);
        }
    }
    mode_->feed(bytes, now_ms);
}

void SimulatedInstrument::enterShell() {
    link_.setBaud(ShellMode::kShellBaud);
    mode_ = shell_.get();
    shell_->enter();
}

void SimulatedInstrument::leaveShell() {
    // What the shell has written still goes out at 9600 baud; the new firmware talks at 2400.
    link_.setBaud(ShellMode::kMeasurementBaud);
    mode_ = measurement_.get();
    quitLine_.clear();
}

}  // namespace vantorix::sim
