#include "simulator/ReadingModel.h"

#include <cmath>

namespace vantorix::sim {

qint64 ReadingModel::next() {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double kind = unit(rng_);
    if (kind < 0.04) {
        // Saturated: the photon counter runs past its limit.
        return kSaturationLimit + 1 + static_cast<qint64>(unit(rng_) * 500000);
    }
    if (kind < 0.14) {
        // An empty well reads the dark level and its noise.
        std::normal_distribution<double> dark(kDarkLevel, 6.0);
        return std::max<qint64>(0, std::llround(dark(rng_)));
    }
    // Signal over four decades (about 30 to 300000 counts) above the dark level.
    const double decades = 1.5 + 4.0 * unit(rng_);
    return kDarkLevel + std::llround(std::pow(10.0, decades));
}

}  // namespace vantorix::sim
