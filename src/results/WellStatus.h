// What a well of a set is: not selected, waiting for its reading, read, saturated, or selected
// but never read. Every view, legend and export uses these five, so an unread well is never
// mistaken for a reading of zero.
#pragma once

#include <QString>
#include <array>

#include "options/WellSelection.h"

namespace vantorix {

class KeyStore;
class Readings;

enum class WellStatus { NotSelected, Pending, Read, Saturated, NoReading };

// rawValue is the well's reading as a number (negative: none). A set still being measured
// (setComplete false) shows its unread selected wells as pending rather than as missing.
// A well that holds a reading is read or saturated whether or not it was selected.
WellStatus wellStatus(double rawValue, bool selected, bool setComplete);

// The 96 statuses of a set in well-number order (A1, A2, ... H12).
std::array<WellStatus, kWellCount> setStatuses(const Readings& readings, int set,
                                               const WellMatrix& selected, bool setComplete);

// The well selection a stored document was measured with: its ".data.mask" rows where the
// document has them, else every well that holds a reading in one of sets 1..sets.
WellMatrix documentSelection(const KeyStore& store, const Readings& readings, int sets);

// "not selected", "pending", "read", "saturated", "no reading": the legend's words.
QString wellStatusName(WellStatus status);
// "read", "saturated", "no-reading" (and "pending", "not-selected"): the exports' words.
QString wellStatusKey(WellStatus status);

}  // namespace vantorix
