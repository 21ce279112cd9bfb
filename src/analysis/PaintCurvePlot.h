// The standard curve of a dataset as a plot: each standard well as a point at its nominal
// concentration, the fitted curve through them, and each sample placed on the curve at its
// signal; logarithmic axes where the model is, axis titles with their units and a legend. The
// analysis view, the report and the command line's PDF draw the same plot.
#pragma once

#include <QRectF>
#include <QString>
#include <vector>

#include "analysis/DatasetAnalysis.h"

class QPainter;

namespace vantorix {

struct CurvePlotAxis {
    double lo = 0, hi = 1;
    bool log = false;
    std::vector<double> ticks;
    // 0 at lo, 1 at hi (linear or logarithmic).
    double position(double v) const;
};

// An axis over [lo, hi]: on a log scale whole decades (lo > 0), else round steps of 1, 2 or 5
// times a power of ten, with lo and hi widened to the outer ticks.
CurvePlotAxis curvePlotAxis(double lo, double hi, bool log);

// "10", "0.5", "2k", "1e-05": short tick labels.
QString tickText(double value);

// The concentration unit goes into the x axis title ("Concentration (ng/mL)"); empty: the
// layout's units.
void paintCurvePlot(QPainter& painter, const QRectF& area, const DatasetAnalysis& analysis,
                    CurveModel model, const QString& concentrationUnit = {});

}  // namespace vantorix
