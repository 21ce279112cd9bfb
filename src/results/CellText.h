// The text of one well cell of the results grid.
#pragma once

#include <QString>

namespace vantorix {

class Readings;

enum class GridMode { Readings, Times };

// A selected well of the dataset being measured that has no reading yet.
inline constexpr char kPendingCellText[] = "...";

// The cell of (set, row 1-8, column 1-12) as the grid shows it for a document whose
// ".data.sets" value is setsValue: "X" for no sets or no reading, "sat" above the saturation
// limit, else the reading less the dark offset ("000.0") or the time in seconds ("000").
QString cellText(const Readings& readings, int set, int row, int column, GridMode mode,
                 const QString& setsValue);

// The cell while a run is in progress: the readings rule, and "X" for a well the run does not
// read whatever its value.
QString runCellText(const QString& valueText, bool selected);

}  // namespace vantorix
