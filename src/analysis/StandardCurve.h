// The standard curve of a dataset and what is read off it: standards back-calculated with
// their recoveries, the quantifiable range, and the samples' concentrations.
#pragma once

#include "analysis/DatasetAnalysis.h"

namespace vantorix {

// Fits the standards' corrected signals (every replicate well) and fills in the curve, the
// standards' and samples' concentrations, LLOQ and ULOQ; or says why the data cannot
// support the model (analysis.problem).
void fitStandardCurve(DatasetAnalysis& analysis, const AnalysisSettings& settings);

}  // namespace vantorix
