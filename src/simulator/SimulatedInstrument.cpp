#include "simulator/SimulatedInstrument.h"

#include "simulator/MeasurementMode.h"

namespace vantorix::sim {

SimulatedInstrument::SimulatedInstrument(Scheduler& scheduler, InstrumentLink& link,
                                         SimulatorConfig config)
    : config_(std::move(config)),
      writer_(scheduler, link, config_.faults, config_.seed),
      measurement_(std::make_unique<MeasurementMode>(scheduler, writer_, config_)),
      mode_(measurement_.get()) {}

SimulatedInstrument::~SimulatedInstrument() = default;

void SimulatedInstrument::feed(QByteArrayView bytes, qint64 now_ms) {
    mode_->feed(bytes, now_ms);
}

}  // namespace vantorix::sim
