#include "plate/WellReading.h"

#include <algorithm>

namespace vantorix {

WellStatus wellStatus(std::optional<double> raw, bool selected, bool setComplete) {
    if (raw && *raw > kSaturationLimit) return WellStatus::Saturated;
    if (raw) return WellStatus::Read;
    if (!selected) return WellStatus::NotSelected;
    return setComplete ? WellStatus::NoReading : WellStatus::Pending;
}

std::optional<double> WellReading::value() const {
    if (!raw) return std::nullopt;
    return std::max(0.0, *raw - kDarkOffset);
}

}  // namespace vantorix
