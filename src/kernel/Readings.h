// The program-wide table of readings: set 0-255 x plate row 0-8 x plate column 0-12, of which
// sets 1-255, rows 1-8 (A-H) and columns 1-12 hold wells.
#pragma once

#include <QString>
#include <vector>

#include "kernel/LightUnits.h"
#include "kernel/RunOptions.h"
#include "kernel/Text.h"

namespace vantorix {

constexpr int kMaxSets = 255;

struct Reading {
    QString Value;  // raw reading as received; "-1" for none
    QString Time;   // whole seconds since the run's first reading
};

// The reading a stored value holds, or -1 when it holds none. Only a whole, finite,
// non-negative number is a reading: "-1", "-5" and a token that is no number ("17O194", "abc",
// "1749x5", "nan", "inf") are none, in every view, export and figure alike.
inline double readingValue(QStringView value) {
    if (!isNumeric(value)) return -1;
    const double v = leadingNumber(value);
    return v >= 0 ? v : -1;
}

class Readings {
  public:
    static constexpr int kSetSlots = kMaxSets + 1;
    static constexpr int kRowSlots = 9;
    static constexpr int kColumnSlots = 13;

    Readings() : cells_(kSetSlots * kRowSlots * kColumnSlots) {}

    // set 0-255, row 1-8, column 1-12; anything else is a programming error (asserted) and is
    // clamped into slot 0 so that it never writes outside the table.
    Reading& at(int set, int row, int column) { return cells_[slot(set, row, column)]; }
    const Reading& at(int set, int row, int column) const { return cells_[slot(set, row, column)]; }
    static bool inRange(int set, int row, int column) {
        return set >= 0 && set < kSetSlots && row >= 0 && row < kRowSlots && column >= 0 &&
               column < kColumnSlots;
    }
    // Sets every well of the set to value "-1", time "-1".
    void clearSet(int set) {
        for (int r = 1; r <= kPlateRows; ++r)
            for (int c = 1; c <= kPlateColumns; ++c)
                at(set, r, c) = {QStringLiteral("-1"), QStringLiteral("-1")};
    }

  private:
    static int slot(int set, int row, int column) {
        Q_ASSERT(inRange(set, row, column));
        if (!inRange(set, row, column)) return 0;
        return (set * kRowSlots + row) * kColumnSlots + column;
    }
    std::vector<Reading> cells_;
};

}  // namespace vantorix
