// Figures of one set over the wells that hold a reading, each taken as the grid shows it (the
// reading less the dark offset, 0 below it). Saturated readings are counted apart and left
// out of the other figures.
#pragma once

#include <QString>

namespace vantorix {

struct PlateDocument;

// The unit of every value the program shows: counts of the photon counter, less the dark offset.
inline constexpr const char* kValueUnit = "RLU (less dark offset)";
inline constexpr const char* kValueUnitLong = "relative light units, less the dark offset";

struct SetStatistics {
    int n = 0;          // wells with a reading at or below the saturation limit
    int saturated = 0;  // wells above it
    double min = 0, max = 0, mean = 0;
    double sd = 0;  // sample standard deviation (n - 1); defined from n = 2
    double minRaw = 0, maxRaw = 0;
    bool hasSd() const { return n >= 2; }
    bool hasCv() const { return hasSd() && mean != 0; }
    double cvPercent() const { return hasCv() ? 100.0 * sd / mean : 0; }
};

SetStatistics setStatistics(const PlateDocument& readings, int set);

// A reading as the grid shows it, without padding: "720.0", "10.0", "0" below the offset.
QString plainReadingText(double rawValue);

// value with `digits` significant digits, plain decimal without exponent: 767.46 -> "767.5",
// 123456 -> "123500", 0.012345 -> "0.01235", 0 -> "0".
QString significantText(double value, int digits = 4);

// "n=96 sat=0 min=720.0 max=815.0 mean=767.5 sd=27.85 cv=3.628%", "-" for what is undefined.
QString statisticsText(const SetStatistics& stats);

}  // namespace vantorix
