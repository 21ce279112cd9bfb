#include "analysis/StandardCurve.h"

#include <algorithm>
#include <map>

namespace vantorix {

namespace {

void flag(WellResult& w, const char* text) {
    w.flags << QString::fromLatin1(text);
}

// Why the standards cannot support the model; empty when they can. Fills the points fitted.
QString collectStandards(DatasetAnalysis& a, const AnalysisSettings& s, std::vector<double>& x,
                         std::vector<double>& y) {
    // log10 y and weights 1/y need a positive signal.
    const bool needsPositive = s.model == CurveModel::LogLog || s.weighting != Weighting::None;
    int standards = 0, saturated = 0;
    for (WellResult& w : a.wells) {
        if (w.role != WellRole::Standard || w.flags.contains(QString::fromLatin1(kFlagExcluded)))
            continue;
        ++standards;
        if (w.flags.contains(QString::fromLatin1(kFlagSaturated))) ++saturated;
        if (!w.used) continue;
        if (needsPositive && *w.corrected <= 0) {
            flag(w, kFlagNotPositive);
            continue;
        }
        x.push_back(*w.nominal);
        y.push_back(*w.corrected);
    }
    if (standards > 0 && saturated == standards)
        return QStringLiteral("every standard well is saturated");
    const int needed = int(parameterNames(s.model).size());
    if (int(x.size()) < needed)
        return QStringLiteral("%1 needs at least %2 standard wells with readings; %3 %4")
            .arg(curveModelKey(s.model))
            .arg(needed)
            .arg(x.size())
            .arg(x.size() == 1 ? QStringLiteral("has one") : QStringLiteral("have one"));
    return {};
}

void backCalculate(DatasetAnalysis& a, const CurveFit& curve) {
    for (WellResult& w : a.wells) {
        if (w.role != WellRole::Standard || !w.used) continue;
        w.concentration = curveInverse(curve, *w.corrected);
        if (w.concentration)
            w.recovery = 100 * *w.concentration / *w.nominal;
        else
            flag(w, kFlagOutOfCurve);
    }
}

// The lowest and highest concentrations whose replicates' mean recovery lies in the band.
void quantifiableRange(DatasetAnalysis& a, const AnalysisSettings& s) {
    std::map<double, std::pair<double, int>> recoveries;
    for (const WellResult& w : a.wells)
        if (w.role == WellRole::Standard && w.recovery) {
            recoveries[*w.nominal].first += *w.recovery;
            ++recoveries[*w.nominal].second;
        }
    for (const auto& [conc, sum] : recoveries) {
        const double mean = sum.first / sum.second;
        if (mean < s.recoveryLow || mean > s.recoveryHigh) continue;
        if (!a.lloq) a.lloq = conc;
        a.uloq = conc;
    }
    if (!a.lloq)
        a.notes << QStringLiteral(
                       "no standard concentration recovers within %1-%2 %: no "
                       "quantifiable range")
                       .arg(s.recoveryLow)
                       .arg(s.recoveryHigh);
}

void readSamples(DatasetAnalysis& a, const CurveFit& curve) {
    for (WellResult& w : a.wells) {
        if (w.role != WellRole::Sample || !w.used) continue;
        const std::optional<double> x = curveInverse(curve, *w.corrected);
        if (!x || *x <= 0)
            flag(w, kFlagOutOfCurve);
        else if (a.lloq && *x < *a.lloq)
            flag(w, kFlagBelowLloq);
        else if (a.uloq && *x > *a.uloq)
            flag(w, kFlagAboveUloq);
        else
            w.concentration = *x * w.dilution;
    }
}

}  // namespace

void fitStandardCurve(DatasetAnalysis& a, const AnalysisSettings& s) {
    std::vector<double> x, y;
    a.problem = collectStandards(a, s, x, y);
    if (!a.problem.isEmpty()) return;
    a.curve = fitCurve(s.model, s.weighting, x, y);
    if (!a.curve->ok) {
        a.problem = a.curve->message;
        return;
    }
    backCalculate(a, *a.curve);
    quantifiableRange(a, s);
    readSamples(a, *a.curve);
}

}  // namespace vantorix
