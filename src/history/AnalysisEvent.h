// What an "analysis done" event says of the layout an analysis used: the wells it left out.
#pragma once

#include <vector>

#include "history/AuditEvent.h"
#include "plate/WellLayout.h"

namespace vantorix::history {

// The wells the layout leaves out, in well order ("A1" .. "H12"), each with its reason.
std::vector<ExcludedWell> excludedWells(const WellLayout& layout);

}  // namespace vantorix::history
