// Plausible luminometer readings from a seed: most wells spread over four decades above the
// dark level, about one in ten at the dark level itself (near 280) and a few saturating above
// 1473000. The same seed gives the same readings in the same order.
#pragma once

#include <QtGlobal>
#include <random>

namespace vantorix::sim {

class ReadingModel {
  public:
    static constexpr qint64 kDarkLevel = 280;
    static constexpr qint64 kSaturationLimit = 1473000;

    explicit ReadingModel(quint32 seed) : rng_(seed) {}
    // The next well's raw reading.
    qint64 next();

  private:
    std::mt19937 rng_;
};

}  // namespace vantorix::sim
