// Plausible luminometer readings from a seed. Each well holds a reaction of its own: most glow
// over four decades above the dark level, about one in ten is empty and reads the dark level
// (near 280), a few are bright enough to saturate (above 1473000). A glow reaction rises over
// the first minutes after the reagent went in and then fades slowly; a flash reaction peaks
// sharply when its reagent is injected, at the well's first reading, and is mostly gone within
// half a minute. The same seed gives the same wells, and the same readings at the same times.
#pragma once

#include <QtGlobal>
#include <array>
#include <random>

namespace vantorix::sim {

class ReadingModel {
  public:
    static constexpr qint64 kDarkLevel = 280;
    static constexpr qint64 kSaturationLimit = 1473000;
    static constexpr int kWells = 96;
    // A dataset this long after the last reading is taken from a fresh plate.
    static constexpr qint64 kNewPlateGap_ms = 20 * 60 * 1000;

    enum class Reaction { Glow, Flash };

    explicit ReadingModel(quint32 seed);

    // A dataset starts at now_ms: the plate goes in. The reactions go on from the previous
    // dataset unless the plate is new (the first dataset, other wells or another reaction than
    // before, or a long pause).
    void startDataset(qint64 now_ms, Reaction reaction, const std::array<bool, kWells>& wells);
    // The raw reading of well (0 A1 .. 95 H12) measured at now_ms, noise included.
    qint64 read(int well, qint64 now_ms);
    // The well's light above the dark level, without noise, `seconds` into its reaction.
    double light(int well, double seconds) const;

  private:
    struct Well {
        double peak = 0;     // counts at the height of the reaction; 0 for an empty well
        double rise_s = 1;   // glow: time constant of the rise
        double decay_s = 1;  // time constant of the fading
        double lag_s = 0;    // glow: how long the reagent had been in when the plate went in
    };
    std::array<Well, kWells> wells_;
    std::mt19937 noise_;
    Reaction reaction_ = Reaction::Glow;
    std::array<bool, kWells> selection_{};
    bool plate_ = false;
    qint64 plateStart_ms_ = 0;
    qint64 lastReading_ms_ = 0;
    std::array<qint64, kWells> injected_ms_{};  // flash: when each well's reagent went in
    std::array<bool, kWells> isInjected_{};
};

}  // namespace vantorix::sim
