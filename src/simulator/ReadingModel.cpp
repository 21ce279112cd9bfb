#include "simulator/ReadingModel.h"

#include <cmath>

namespace vantorix::sim {

namespace {

// The counter keeps counting past its limit: a saturating well is well above it at its peak.
double wellPeak(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double kind = unit(rng);
    if (kind < 0.04) return (1.2 + 1.5 * unit(rng)) * double(ReadingModel::kSaturationLimit);
    if (kind < 0.14) return 0;                     // an empty well
    return std::pow(10.0, 1.5 + 4.0 * unit(rng));  // about 30 to 300000 counts
}

}  // namespace

ReadingModel::ReadingModel(quint32 seed) : noise_(seed) {
    // The plate's wells come from their own generator, so they do not depend on how many
    // readings were taken before.
    std::mt19937 plate(seed ^ 0x5eed5eedu);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (Well& w : wells_) {
        w.peak = wellPeak(plate);
        w.rise_s = 30 + 90 * unit(plate);
        w.decay_s = 1200 + 2400 * unit(plate);
        w.lag_s = 10 + 50 * unit(plate);
    }
}

void ReadingModel::startDataset(qint64 now_ms, Reaction reaction,
                                const std::array<bool, kWells>& wells) {
    const bool fresh = !plate_ || reaction != reaction_ || wells != selection_ ||
                       now_ms - lastReading_ms_ > kNewPlateGap_ms;
    if (!fresh) return;
    plate_ = true;
    reaction_ = reaction;
    selection_ = wells;
    plateStart_ms_ = now_ms;
    lastReading_ms_ = now_ms;
    isInjected_.fill(false);
}

double ReadingModel::light(int well, double seconds) const {
    const Well& w = wells_[size_t(well)];
    if (seconds < 0) return 0;
    if (reaction_ == Reaction::Flash) {
        // Light within a tenth of a second of the injection, gone in seconds: a flash fades
        // about thirty times faster than the same well's glow would rise.
        const double decay_s = w.rise_s / 12;
        return w.peak * (1 - std::exp(-seconds / 0.1)) * std::exp(-seconds / decay_s);
    }
    // Scaled so that the curve's top reaches the well's peak.
    const double top_s = w.rise_s * std::log1p(w.decay_s / w.rise_s);
    const auto curve = [&](double t) {
        return (1 - std::exp(-t / w.rise_s)) * std::exp(-t / w.decay_s);
    };
    return w.peak * curve(seconds) / curve(top_s);
}

qint64 ReadingModel::read(int well, qint64 now_ms) {
    if (well < 0 || well >= kWells) return kDarkLevel;
    if (!plate_) startDataset(now_ms, reaction_, selection_);
    lastReading_ms_ = now_ms;
    double seconds = 0;
    if (reaction_ == Reaction::Flash) {
        if (!isInjected_[size_t(well)]) {
            isInjected_[size_t(well)] = true;
            injected_ms_[size_t(well)] = now_ms;
        }
        // Counting starts half a second after the injection.
        seconds = 0.5 + double(now_ms - injected_ms_[size_t(well)]) / 1000;
    } else {
        seconds = wells_[size_t(well)].lag_s + double(now_ms - plateStart_ms_) / 1000;
    }
    const double signal = light(well, seconds);
    // Counting noise: the dark level's own spread, and a few per cent of the light.
    std::normal_distribution<double> dark(double(kDarkLevel), 6.0);
    std::normal_distribution<double> spread(1.0, 0.03);
    return std::max<qint64>(0, std::llround(dark(noise_) + signal * std::max(0.0, spread(noise_))));
}

}  // namespace vantorix::sim
