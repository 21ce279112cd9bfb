// How a plate is analysed: the standard curve's model and weighting, when a replicate group's
// spread is too wide, which recoveries bound the quantifiable range, and the rules a dataset
// must meet to pass.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantorix {

// linear: y = a + b*x; loglog: log10(y) = a + b*log10(x);
// 4pl: y = d + (a - d) / (1 + (x/c)^b); 5pl: y = d + (a - d) / (1 + (x/c)^b)^g.
enum class CurveModel { Linear, LogLog, FourPL, FivePL };
// Weights on the squared residuals: none, 1/y or 1/y^2 of the observed signal.
enum class Weighting { None, InverseY, InverseY2 };

// "linear", "loglog", "4pl", "5pl"; none for other words (case ignored).
QString curveModelKey(CurveModel model);
std::optional<CurveModel> curveModelFromKey(QStringView key);
// "none", "1/y", "1/y2".
QString weightingKey(Weighting weighting);
std::optional<Weighting> weightingFromKey(QStringView key);
// "a", "b" (linear, loglog); "a", "b", "c", "d" (4pl); and "g" (5pl).
QStringList parameterNames(CurveModel model);

// A rule that is switched off holds no limit.
struct AcceptanceRules {
    std::optional<double> maxBlankCv = 20;  // %, when the blanks have a CV
    std::optional<double> minR2 = 0.98;     // when a curve is fitted
    std::optional<double> minZPrime = 0.5;  // when both controls give a Z'
};

struct AnalysisSettings {
    CurveModel model = CurveModel::FourPL;
    Weighting weighting = Weighting::None;
    double cvThreshold = 20;  // %: a replicate group above it is flagged "cv"
    // A standard concentration is quantifiable when its replicates' mean recovery lies here.
    double recoveryLow = 80, recoveryHigh = 120;  // %
    AcceptanceRules rules;
};

}  // namespace vantorix
