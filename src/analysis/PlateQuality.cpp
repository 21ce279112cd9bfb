#include "analysis/PlateQuality.h"

#include <cmath>

#include "analysis/AnalysisText.h"
#include "analysis/Replicates.h"

namespace vantorix {

namespace {

ReplicateFigures controlFigures(const std::vector<WellResult>& wells, WellRole role) {
    std::vector<double> values;
    for (const WellResult& w : wells)
        if (w.role == role && w.used) values.push_back(*w.value);
    return replicateFigures(values);
}

}  // namespace

void measureControls(const std::vector<WellResult>& wells, PlateQuality& quality) {
    for (const WellResult& w : wells)
        if (w.role == WellRole::Blank && w.used) quality.blankCv = w.cv;
    const ReplicateFigures pos = controlFigures(wells, WellRole::Positive);
    const ReplicateFigures neg = controlFigures(wells, WellRole::Negative);
    if (pos.mean && neg.mean && *neg.mean > 0) quality.signalToBackground = *pos.mean / *neg.mean;
    if (pos.sd && neg.sd && *pos.mean != *neg.mean)
        quality.zPrime = 1 - 3 * (*pos.sd + *neg.sd) / std::abs(*pos.mean - *neg.mean);
}

void judgePlate(const AcceptanceRules& rules, const std::optional<CurveFit>& curve,
                PlateQuality& quality) {
    const auto check = [&quality](bool holds, const QString& rule) {
        if (holds) return;
        quality.pass = false;
        quality.failedRules << rule;
    };
    if (rules.maxBlankCv && quality.blankCv)
        check(*quality.blankCv <= *rules.maxBlankCv,
              QStringLiteral("blank CV <= %1%").arg(plainNumber(*rules.maxBlankCv)));
    if (rules.minR2 && curve && curve->ok && curve->r2)
        check(*curve->r2 >= *rules.minR2,
              QStringLiteral("R2 >= %1").arg(plainNumber(*rules.minR2)));
    if (rules.minZPrime && quality.zPrime)
        check(*quality.zPrime >= *rules.minZPrime,
              QStringLiteral("Z' >= %1").arg(plainNumber(*rules.minZPrime)));
}

}  // namespace vantorix
