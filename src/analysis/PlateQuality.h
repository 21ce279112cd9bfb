// The plate's quality from its controls and blanks, and the acceptance rules' verdict.
#pragma once

#include <vector>

#include "analysis/DatasetAnalysis.h"

namespace vantorix {

// Z' and signal to background from the controls' values before blank subtraction (wells in
// use only); the blank CV from the blank rows' group figures.
void measureControls(const std::vector<WellResult>& wells, PlateQuality& quality);

// PASS unless a rule that is on and has its figure fails; the failing rules are named.
void judgePlate(const AcceptanceRules& rules, const std::optional<CurveFit>& curve,
                PlateQuality& quality);

}  // namespace vantorix
