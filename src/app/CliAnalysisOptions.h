// Options shared by the analysis commands: the curve model and its weights.
#pragma once

#include <QString>

#include "analysis/AnalysisSettings.h"

namespace vantorix::cli {

// Empty when value names a curve model (a weighting), else the message for bad usage:
// "COMMAND: OPTION needs linear, loglog, 4pl or 5pl".
QString readModelOption(const QString& command, const QString& option, const QString& value,
                        CurveModel& model);
QString readWeightOption(const QString& command, const QString& value, Weighting& weighting);

}  // namespace vantorix::cli
