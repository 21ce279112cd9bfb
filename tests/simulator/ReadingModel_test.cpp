#include "simulator/ReadingModel.h"

#include <gtest/gtest.h>
#include <cmath>

using vantorix::sim::ReadingModel;

TEST(ReadingModel, DarkWellsAFewSaturatedTheRestOverFourDecades) {
    ReadingModel model(12345);
    int dark = 0, saturated = 0;
    double lowestSignal = 1e9, highestSignal = 0;
    const int n = 9600;
    for (int i = 0; i < n; ++i) {
        const qint64 v = model.next();
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
    EXPECT_GT(saturated, n / 100);
    EXPECT_LT(saturated, n / 10);
    EXPECT_GT(dark, n / 20);
    EXPECT_GE(std::log10(highestSignal / lowestSignal), 3.5);
}
