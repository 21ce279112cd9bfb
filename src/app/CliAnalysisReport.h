// The printable report of a data file followed by the analysis pages of its layout, as
// `vantorix-cli analyze ... --pdf OUT` writes it.
#pragma once

#include <QString>

#include "analysis/AnalysisSettings.h"
#include "plate/PlateDocument.h"

namespace vantorix::cli {

// `analysed` is the file's document with the layout in use; onlySet 0 analyses every set.
// Empty text when written, else why not (nothing is left at pdf then).
QString writeAnalysisReport(const QString& file, const PlateDocument& analysed,
                            const AnalysisSettings& settings, int onlySet, const QString& pdf);

}  // namespace vantorix::cli
