// The simulated instrument, without I/O of its own: bytes come in through feed() with the
// time they arrived, bytes go out through an InstrumentLink, and waits (the per-well
// measuring time, pauses between messages) are scheduler wake-ups. A host decides where it
// lives: the in-memory line of PairHarness in virtual time, or a pseudo-terminal (PtyHost).
#pragma once

#include <QByteArrayView>
#include <memory>

#include "frame/Scheduler.h"
#include "simulator/InstrumentLink.h"
#include "simulator/InstrumentMode.h"
#include "simulator/MessageWriter.h"
#include "simulator/SimulatorConfig.h"

namespace vantorix::sim {

class MeasurementMode;

class SimulatedInstrument {
  public:
    SimulatedInstrument(Scheduler& scheduler, InstrumentLink& link, SimulatorConfig config = {});
    ~SimulatedInstrument();
    SimulatedInstrument(const SimulatedInstrument&) = delete;
    SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

    // Bytes from the program, arrived at now_ms (in any pieces: a line may span calls).
    void feed(QByteArrayView bytes, qint64 now_ms);

    const SimulatorConfig& config() const { return config_; }
    // The measurement program (the instrument's only program for now; its command shell for
    // firmware updates will be a second InstrumentMode switched to on "Q").
    MeasurementMode& measurement() { return *measurement_; }

  private:
    SimulatorConfig config_;
    MessageWriter writer_;
    std::unique_ptr<MeasurementMode> measurement_;
    InstrumentMode* mode_ = nullptr;
};

}  // namespace vantorix::sim
