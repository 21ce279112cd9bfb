// A plate worked out by hand: two blanks, standards 10-80 (one saturated, one excluded),
// samples with dilutions, values below, above and outside the curve, and both controls.
#pragma once

#include <optional>

#include "plate/PlateDocument.h"

namespace vantorix::test {

struct Well {
    const char* name;
    WellRole role;
    const char* group;
    double concentration, dilution;
    std::optional<double> value;  // less the dark offset; none: never read
};

// Blank mean 110; standards on y = 17.826087 + 99.391304 x after blank subtraction.
const Well kPlate[] = {
    {"A1", WellRole::Blank, "", 0, 1, 100},       {"A2", WellRole::Blank, "", 0, 1, 120},
    {"B1", WellRole::Standard, "", 10, 1, 1110},  {"B2", WellRole::Standard, "", 10, 1, 1130},
    {"B3", WellRole::Standard, "", 20, 1, 2110},  {"B4", WellRole::Standard, "", 20, 1, 2090},
    {"B5", WellRole::Standard, "", 40, 1, 4110},  {"B6", WellRole::Standard, "", 40, 1, 4150},
    {"B7", WellRole::Standard, "", 80, 1, 8110},  {"B8", WellRole::Standard, "", 80, 1, 8030},
    {"B9", WellRole::Standard, "", 80, 1, 1.5e6}, {"B10", WellRole::Standard, "", 80, 1, 10},
    {"C1", WellRole::Sample, "S1", 0, 2, 3110},   {"C2", WellRole::Sample, "S1", 0, 2, 3210},
    {"C3", WellRole::Sample, "low", 0, 1, 300},   {"C4", WellRole::Sample, "high", 0, 1, 9110},
    {"C5", WellRole::Sample, "gone", 0, 1, {}},   {"C6", WellRole::Sample, "S2", 0, 1, 1110},
    {"C7", WellRole::Sample, "S2", 0, 1, 2110},   {"C8", WellRole::Sample, "zero", 0, 1, 50},
    {"D1", WellRole::Positive, "", 0, 1, 5000},   {"D2", WellRole::Positive, "", 0, 1, 5400},
    {"D3", WellRole::Negative, "", 0, 1, 500},    {"D4", WellRole::Negative, "", 0, 1, 520},
};

// The plate's readings and layout.
inline void handPlate(Dataset& set, WellLayout& layout) {
    for (const Well& w : kPlate) {
        const int well = *wellFromName(QString::fromLatin1(w.name));
        WellAssignment& a = layout.wells[size_t(well)];
        a.role = w.role;
        a.name = QString::fromLatin1(w.group);
        if (w.role == WellRole::Standard) a.concentration = w.concentration;
        a.dilution = w.dilution;
        if (w.value) set.wells[size_t(well)].raw = *w.value + kDarkOffset;
    }
    layout.wells[size_t(*wellFromName(u"B10"))].excluded = true;
}

}  // namespace vantorix::test
