// The well selection of a run: the dialog's click, row, column and "All" rules, and the
// well-list text used on the command line ("A1-A12,H12").
#pragma once

#include <QString>

#include "kernel/RunOptions.h"

namespace vantorix {

using WellMatrix = decltype(RunOptions::SelectedWells);

// "A1" for (0, 0), "H12" for (7, 11).
QString wellName(int row, int column);

// A click on one cell flips it. Indices outside the plate change nothing.
void toggleWell(WellMatrix& wells, int row, int column);
// The row, column and "All" buttons fill a partly selected group and clear a complete one.
void toggleRow(WellMatrix& wells, int row);
void toggleColumn(WellMatrix& wells, int column);
void toggleAll(WellMatrix& wells);

int selectedCount(const WellMatrix& wells);

// Reads a comma-separated list of wells and ranges into `wells`, replacing its contents:
// "A1", "A1-A12", "A1-B12,H12", "all", "none". Letters may be lower case; blanks around items
// are ignored. A range "X-Y" covers every well from X to Y in well-number order (row by row),
// so "A1-B12" is rows A and B and "A11-B2" is A11, A12, B1, B2. On error `wells` is left as it
// was, false is returned and `error` (when given) says which item is wrong.
bool parseWellList(const QString& text, WellMatrix& wells, QString* error = nullptr);

// The shortest list parseWellList reads back as the same selection: runs of consecutive well
// numbers become ranges; "all" and "none" for the two extremes.
QString formatWellList(const WellMatrix& wells);

}  // namespace vantorix
