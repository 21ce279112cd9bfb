// How a simulated instrument behaves: its readings' seed, its per-well measuring time and
// the faults it shows.
#pragma once

#include <QtGlobal>

#include "simulator/SimulatorFaults.h"

namespace vantorix::sim {

struct SimulatorConfig {
    quint32 seed = 1;
    qint64 wellTime_ms = 500;
    SimulatorFaults faults;
};

}  // namespace vantorix::sim
