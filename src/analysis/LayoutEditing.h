// The layout editor's actions on a layout, apart from any widget: painting a role over a block
// of wells, filling a standard series and leaving wells out.
#pragma once

#include <QString>
#include <algorithm>
#include <vector>

#include "plate/WellLayout.h"

namespace vantorix {

// A rectangle of wells, corners included, in either order.
struct WellBlock {
    int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
    int top() const { return std::min(row0, row1); }
    int bottom() const { return std::max(row0, row1); }
    int left() const { return std::min(column0, column1); }
    int right() const { return std::max(column0, column1); }
    int rows() const { return bottom() - top() + 1; }
    int columns() const { return right() - left() + 1; }
    bool contains(int well) const;
    std::vector<int> wells() const;  // row by row
};

// Gives every well of the block `paint`'s role, name, concentration and dilution; an exclusion
// stays as it was. Painting "empty" clears the wells entirely.
void paintBlock(WellLayout& layout, const WellBlock& block, const WellAssignment& paint);

struct StandardSeries {
    double first = 0;        // the first level's concentration, positive
    double factor = 2;       // between neighbouring levels, above 1
    bool rising = false;     // false: each level is the one before divided by the factor
    int replicates = 1;      // wells per level
    bool acrossRows = true;  // a level's replicates side by side in a row, else one under another
};

// Makes the block's wells standards "S1", "S2", ... of the series. Replicates across: levels
// follow each other along a row and then down; replicates down: down a column and then across.
// Empty text on success; else why not, and the layout is unchanged.
QString fillStandardSeries(WellLayout& layout, const WellBlock& block, const StandardSeries& s);

// Leaves the block's wells out of every calculation, for `reason`; an empty reason includes them
// again.
void excludeBlock(WellLayout& layout, const WellBlock& block, const QString& reason);

}  // namespace vantorix
