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

// Writes text to path as UTF-8, replacing a file there only once the new one is whole. Empty
// when written, else why not.
QString writeTextFile(const QString& path, const QString& text);

}  // namespace vantorix::cli
