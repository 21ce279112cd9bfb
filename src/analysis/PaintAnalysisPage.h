// The report's pages of one set's analysis: the layout beside the standard curve, the verdict
// with what it rests on, then the results table, continued on further pages when it is long.
#pragma once

#include <QRectF>
#include <QString>

#include "analysis/DatasetAnalysis.h"

class QPainter;

namespace vantorix {

struct AnalysisPageSource {
    const DatasetAnalysis& analysis;
    const WellLayout& layout;
    const AnalysisSettings& settings;
    QString concentrationUnit;
};

// `page` is the printable area less the footer; `line` the height of a line of body text.
int analysisPageCount(const DatasetAnalysis& analysis, const QRectF& page, double line);
// Paints page `index` (0 first) of the set's analysis.
void paintAnalysisPage(QPainter& painter, const QRectF& page, double line,
                       const AnalysisPageSource& source, int index);

}  // namespace vantorix
