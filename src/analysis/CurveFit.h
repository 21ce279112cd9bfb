// A standard curve fitted to (concentration, signal) pairs by weighted nonlinear least
// squares, with its parameters' standard errors, and the curve read forwards and backwards.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/AnalysisSettings.h"

namespace vantorix {

struct CurveFit {
    bool ok = false;
    QString message;  // why there is no curve (too few points, no convergence); empty when ok
    CurveModel model = CurveModel::FourPL;
    Weighting weighting = Weighting::None;
    // In the order of parameterNames(model). Logistic curves are reported with b > 0.
    std::vector<double> parameters;
    // From the covariance at the solution scaled by the residual variance; none where the
    // parameters are not determined (as many points as parameters, a singular Jacobian).
    std::vector<std::optional<double>> standardErrors;
    int points = 0;            // observations fitted
    double rss = 0;            // weighted residual sum of squares on the fitted scale
    double residualSd = 0;     // sqrt(rss / (points - parameters)); 0 without spare points
    std::optional<double> r2;  // unweighted, on the fitted scale (log10 for loglog)
};

// Fits every point given (replicates as they are, not their means). Points with a
// non-positive y are unusable for loglog and for 1/y weights and must be left out by the
// caller; x must be positive for loglog, 4pl and 5pl.
CurveFit fitCurve(CurveModel model, Weighting weighting, const std::vector<double>& x,
                  const std::vector<double>& y);

// The curve's signal at concentration x; none where the model has no value (x <= 0 for
// loglog, no fit).
std::optional<double> curveValue(const CurveFit& fit, double x);
// The concentration whose signal is y; none when the curve never reaches y (beyond a
// logistic's asymptotes, y <= 0 for loglog, a flat line).
std::optional<double> curveInverse(const CurveFit& fit, double y);

struct CurvePoint {
    double x, y;
};
// count points of the curve from x = from to x = to, spaced evenly on a log scale when
// logSpacing (then from > 0), for drawing; points where the curve has no value are left out.
std::vector<CurvePoint> curvePoints(const CurveFit& fit, double from, double to, int count,
                                    bool logSpacing);

}  // namespace vantorix
