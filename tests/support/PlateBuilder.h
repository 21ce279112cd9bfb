// The one way tests build plate documents: datasets whose readings and times follow a rule of
// the set (from 1) and the well (0-95, A1 = 0), every well selected unless the test says so.
#pragma once

#include <functional>
#include <optional>

#include "plate/PlateDocument.h"

namespace vantorix::test {

using WellRule = std::function<std::optional<double>(int set, int row, int column)>;

// Readings 1000 * set + 100 * row + column and times 10 * set + row + column (row and column
// from 1), so every well of every set reads differently.
inline std::optional<double> distinctReading(int set, int row, int column) {
    return 1000 * set + 100 * row + column;
}
inline std::optional<double> distinctTime(int set, int row, int column) {
    return 10 * set + row + column;
}

inline PlateDocument plateDocument(int sets, const WellRule& reading = distinctReading,
                                   const WellRule& seconds = distinctTime) {
    PlateDocument d;
    for (auto& row : d.options.SelectedWells) row.fill(true);
    for (int set = 1; set <= sets; ++set) {
        Dataset data;
        for (int w = 0; w < kWellCount; ++w) {
            const int row = wellRowOf(w) + 1, column = wellColumnOf(w) + 1;
            data.wells[w].raw = reading(set, row, column);
            data.wells[w].seconds = seconds(set, row, column);
            data.wells[w].status = wellStatus(data.wells[w].raw, true, true);
        }
        d.datasets.push_back(data);
    }
    return d;
}

// Sets the reading and time of (set, row, column), keeping its status true to the reading.
inline void setWell(PlateDocument& d, int set, int row, int column, std::optional<double> raw,
                    std::optional<double> seconds) {
    WellReading& well = d.datasets[size_t(set - 1)].at(row - 1, column - 1);
    well.raw = raw;
    well.seconds = seconds;
    well.status = wellStatus(raw, d.options.SelectedWells[row - 1][column - 1], true);
}

}  // namespace vantorix::test
