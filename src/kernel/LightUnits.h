// The instrument's light units: where a reading saturates and the dark offset every figure
// subtracts.
#pragma once

namespace vantorix {

constexpr double kSaturationLimit = 1473000;  // a raw reading above it is saturated
constexpr double kDarkOffset = 280;           // subtracted from every reading shown or exported

}  // namespace vantorix
