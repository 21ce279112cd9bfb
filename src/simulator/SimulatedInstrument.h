// The simulated instrument, without I/O of its own: bytes come in through feed() with the
// time they arrived, bytes go out through an InstrumentLink, and waits (the per-well
// measuring time, pauses between messages) are scheduler wake-ups. A host decides where it
// lives: the in-memory line of PairHarness in virtual time, or a pseudo-terminal (PtyHost).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

#include "kernel/Scheduler.h"
#include "simulator/InstrumentLink.h"
#include "simulator/InstrumentMode.h"
#include "simulator/MessageWriter.h"
#include "simulator/SimulatorConfig.h"

namespace vantorix::sim {

class MeasurementMode;
class ShellMode;

class SimulatedInstrument {
  public:
    SimulatedInstrument(Scheduler& scheduler, InstrumentLink& link, SimulatorConfig config = {});
    ~SimulatedInstrument();
    SimulatedInstrument(const SimulatedInstrument&) = delete;
    SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

    // Bytes from the program, arrived at now_ms (in any pieces: a line may span calls).
    void feed(QByteArrayView bytes, qint64 now_ms);

    const SimulatorConfig& config() const { return config_; }
    // The measurement program, at 2400 baud; a line "Q" leaves it for the command shell at
    // 9600 baud (firmware updates), which returns to it when the new firmware starts.
    MeasurementMode& measurement() { return *measurement_; }
    ShellMode& shell() { return *shell_; }
    bool inShell() const;

  private:
    void enterShell();
    void leaveShell();

    SimulatorConfig config_;
    InstrumentLink& link_;
    MessageWriter writer_;
    std::unique_ptr<MeasurementMode> measurement_;
    std::unique_ptr<ShellMode> shell_;
    InstrumentMode* mode_ = nullptr;
    QByteArray quitLine_;  // the measurement program's current line, watched for "Q"
};

}  // namespace vantorix::sim
