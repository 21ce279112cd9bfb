// Well statuses of the readings table and the words that name them.
#pragma once

#include <QString>
#include <array>

#include "options/WellSelection.h"
#include "plate/WellReading.h"

namespace vantorix {

struct PlateDocument;

// The 96 statuses of a set in well-number order (A1, A2, ... H12).
std::array<WellStatus, kWellCount> setStatuses(const PlateDocument& readings, int set,
                                               const WellMatrix& selected, bool setComplete);

// The well selection a stored document was measured with: its ".data.mask" rows where the
// document has them, else every well that holds a reading in one of sets 1..sets.
WellMatrix documentSelection(const PlateDocument& document, int sets);

// "not selected", "pending", "read", "saturated", "no reading": the legend's words.
QString wellStatusName(WellStatus status);
// "read", "saturated", "no-reading" (and "pending", "not-selected"): the exports' words.
QString wellStatusKey(WellStatus status);

}  // namespace vantorix
