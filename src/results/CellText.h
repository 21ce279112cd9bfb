// The text of one well cell of the results grid.
#pragma once

#include <QString>
#include <optional>

namespace vantorix {

struct WellReading;

enum class GridMode { Readings, Times };

// A selected well of the dataset being measured that has no reading yet.
inline constexpr char kPendingCellText[] = "...";

// A well's cell as the grid shows it: "X" for no reading, "sat" above the saturation limit,
// else the reading less the dark offset ("000.0") or the time in seconds ("000"; "-001" for a
// reading without a time).
QString cellText(const WellReading& reading, GridMode mode);

// The cell while a run is in progress: the readings rule, and "X" for a well the run does not
// read whatever its value.
QString runCellText(std::optional<double> raw, bool selected);

}  // namespace vantorix
