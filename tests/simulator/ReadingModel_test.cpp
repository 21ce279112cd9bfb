#include "simulator/ReadingModel.h"

#include <gtest/gtest.h>
#include <cmath>

using vantorix::sim::ReadingModel;
using Reaction = ReadingModel::Reaction;

namespace {

std::array<bool, ReadingModel::kWells> allWells() {
    std::array<bool, ReadingModel::kWells> wells;
    wells.fill(true);
    return wells;
}

// The plate's readings in `sets` datasets `gap_ms` apart, a well every half second.
std::vector<std::vector<qint64>> plateReadings(quint32 seed, Reaction reaction, int sets,
                                               qint64 gap_ms) {
    ReadingModel model(seed);
    std::vector<std::vector<qint64>> out(static_cast<size_t>(sets));
    qint64 now = 1000;
    for (int set = 0; set < sets; ++set, now += gap_ms) {
        model.startDataset(now, reaction, allWells());
        for (int well = 0; well < ReadingModel::kWells; ++well)
            out[size_t(set)].push_back(model.read(well, now + 500 * well));
    }
    return out;
}

}  // namespace

TEST(ReadingModel, DarkWellsAFewSaturatedTheRestOverFourDecades) {
    int dark = 0, saturated = 0, n = 0;
    double lowestSignal = 1e9, highestSignal = 0;
    for (quint32 seed = 1; seed <= 100; ++seed) {
        const auto plate = plateReadings(seed, Reaction::Glow, 1, 0);
        for (qint64 v : plate[0]) {
            ++n;
            ASSERT_GE(v, 0);
            if (v > ReadingModel::kSaturationLimit) {
                ++saturated;
            } else if (std::abs(v - ReadingModel::kDarkLevel) <= 30) {
                ++dark;
            } else {
                lowestSignal = std::min(lowestSignal, double(v - ReadingModel::kDarkLevel));
                highestSignal = std::max(highestSignal, double(v - ReadingModel::kDarkLevel));
            }
        }
    }
    EXPECT_GT(saturated, n / 100);
    EXPECT_LT(saturated, n / 10);
    EXPECT_GT(dark, n / 20);
    EXPECT_GE(std::log10(highestSignal / lowestSignal), 3.5);
}

TEST(ReadingModel, TheSameSeedGivesTheSameReadingsAnotherSeedOthers) {
    EXPECT_EQ(plateReadings(7, Reaction::Glow, 3, 30000),
              plateReadings(7, Reaction::Glow, 3, 30000));
    EXPECT_NE(plateReadings(7, Reaction::Glow, 1, 0), plateReadings(8, Reaction::Glow, 1, 0));
}

// A well follows its reaction from one dataset to the next: a glow rises over the first
// minutes and then fades slowly; a flash is brightest at its first reading and soon gone.
TEST(ReadingModel, EachWellFollowsItsReactionOverTheDatasets) {
    struct Case {
        Reaction reaction;
        qint64 gap_ms;
        double lowFirstToSecond, highFirstToSecond;  // ratio of the bright wells' medians
    };
    const Case cases[] = {
        {Reaction::Glow, 60'000, 1.2, 1.8},    // still rising a minute later
        {Reaction::Flash, 30'000, 0.0, 0.05},  // the flash is over
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reaction));
        const auto sets = plateReadings(3, c.reaction, 3, c.gap_ms);
        std::vector<double> ratios;
        for (int well = 0; well < ReadingModel::kWells; ++well) {
            const double first = double(sets[0][size_t(well)] - ReadingModel::kDarkLevel);
            const double second = double(sets[1][size_t(well)] - ReadingModel::kDarkLevel);
            if (first > 200 && sets[0][size_t(well)] < ReadingModel::kSaturationLimit)
                ratios.push_back(second / first);
        }
        ASSERT_GT(ratios.size(), 40u);
        std::sort(ratios.begin(), ratios.end());
        const double median = ratios[ratios.size() / 2];
        EXPECT_GT(median, c.lowFirstToSecond);
        EXPECT_LT(median, c.highFirstToSecond);
    }
    // A glow's slow fading: twenty minutes past its peak a well keeps over a third of its light.
    ReadingModel model(3);
    model.startDataset(0, Reaction::Glow, allWells());
    for (int well = 0; well < ReadingModel::kWells; ++well) {
        const double peak = model.light(well, 600), later = model.light(well, 1800);
        if (peak > 0) {
            EXPECT_LT(later, peak) << well;
            EXPECT_GT(later, peak * 0.3) << well;
        }
    }
}
