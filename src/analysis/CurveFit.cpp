#include "analysis/CurveFit.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "analysis/CurveModels.h"
#include "analysis/LeastSquares.h"

namespace vantorix {

namespace {

using Points = std::vector<double>;

double logisticValue(const std::vector<double>& p, double x, bool five) {
    const double* q = p.data();
    return five ? LogisticModel<true>()(q, x) : LogisticModel<false>()(q, x);
}

Points fitWeights(Weighting weighting, const Points& y) {
    Points w;
    if (weighting == Weighting::None) return w;
    for (double v : y) w.push_back(weighting == Weighting::InverseY ? 1 / v : 1 / (v * v));
    return w;
}

// The straight line through the points by weighted least squares, as a start.
std::vector<double> lineStart(const Points& x, const Points& y, const Points& w) {
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double wi = w.empty() ? 1 : w[i];
        sw += wi, sx += wi * x[i], sy += wi * y[i];
        sxx += wi * x[i] * x[i], sxy += wi * x[i] * y[i];
    }
    const double det = sw * sxx - sx * sx;
    const double b = det != 0 ? (sw * sxy - sx * sy) / det : 0;
    return {(sy - b * sx) / sw, b};
}

// Means of the signal per concentration, lowest concentration first.
std::vector<std::pair<double, double>> levelMeans(const Points& x, const Points& y) {
    std::map<double, std::pair<double, int>> sums;
    for (size_t i = 0; i < x.size(); ++i) {
        sums[x[i]].first += y[i];
        ++sums[x[i]].second;
    }
    std::vector<std::pair<double, double>> levels;
    for (const auto& [conc, sum] : sums) levels.emplace_back(conc, sum.first / sum.second);
    return levels;
}

// a and d a little beyond the lowest and highest levels' signals; b and c from the straight
// line log((a - y) / (y - d)) = b ln x - b ln c through the levels between them.
std::vector<double> logisticStart(const Points& x, const Points& y) {
    const auto levels = levelMeans(x, y);
    const double yLow = levels.front().second, yHigh = levels.back().second;
    const double margin = 0.05 * std::abs(yHigh - yLow) + 1e-9 * std::abs(yHigh);
    const double a = yLow + (yLow < yHigh ? -margin : margin);
    const double d = yHigh + (yLow < yHigh ? margin : -margin);
    Points lx, ly;
    for (const auto& [conc, mean] : levels) {
        const double ratio = (a - mean) / (mean - d);
        if (conc > 0 && ratio > 0 && std::isfinite(ratio)) {
            lx.push_back(std::log(conc));
            ly.push_back(std::log(ratio));
        }
    }
    double logSum = 0;
    int positive = 0;
    for (const auto& level : levels)
        if (level.first > 0) logSum += std::log(level.first), ++positive;
    double b = 1, c = positive ? std::exp(logSum / positive) : 1.0;
    if (lx.size() >= 2) {
        const std::vector<double> line = lineStart(lx, ly, {});
        if (line[1] > 0) b = line[1], c = std::exp(-line[0] / line[1]);
    }
    return {a, b, c, d};
}

double rSquared(const Points& y, const Points& fitted) {
    const double mean = std::accumulate(y.begin(), y.end(), 0.0) / double(y.size());
    double ssRes = 0, ssTot = 0;
    for (size_t i = 0; i < y.size(); ++i) {
        ssRes += (y[i] - fitted[i]) * (y[i] - fitted[i]);
        ssTot += (y[i] - mean) * (y[i] - mean);
    }
    return ssTot > 0 ? 1 - ssRes / ssTot : 1.0;
}

// The same 4-parameter curve with b negative is the one with a and d swapped and b positive.
void mirrorToPositiveB(LeastSquaresResult& r) {
    if (r.parameters[1] >= 0) return;
    std::swap(r.parameters[0], r.parameters[3]);
    std::swap(r.standardErrors[0], r.standardErrors[3]);
    r.parameters[1] = -r.parameters[1];
}

LeastSquaresResult fitLogistic(bool five, const Points& x, const Points& y, const Points& w) {
    std::vector<double> start = logisticStart(x, y);
    std::vector<ParameterBound> bounds{{2, 1e-300}};
    LeastSquaresResult four = fitLeastSquares(LogisticModel<false>(), x, y, w, start, bounds);
    if (four.converged) mirrorToPositiveB(four);
    if (!five) return four;
    // The asymmetric curve starts from the symmetric one; b, c and g stay positive.
    if (four.converged) start = four.parameters;
    start.push_back(1.0);
    return fitLeastSquares(LogisticModel<true>(), x, y, w, start,
                           {{1, 1e-12}, {2, 1e-300}, {4, 1e-12}});
}

LeastSquaresResult solve(CurveModel model, const Points& x, const Points& y, const Points& w) {
    switch (model) {
        case CurveModel::Linear:
        case CurveModel::LogLog:
            return fitLeastSquares(LineModel(), x, y, w, lineStart(x, y, w));
        case CurveModel::FourPL:
        case CurveModel::FivePL:
            return fitLogistic(model == CurveModel::FivePL, x, y, w);
    }
    return {};
}

}  // namespace

CurveFit fitCurve(CurveModel model, Weighting weighting, const std::vector<double>& x,
                  const std::vector<double>& y) {
    CurveFit fit;
    fit.model = model;
    fit.weighting = weighting;
    fit.points = int(x.size());
    const int p = int(parameterNames(model).size());
    if (fit.points < p) {
        fit.message = QStringLiteral("%1 needs at least %2 points; %3 given")
                          .arg(curveModelKey(model))
                          .arg(p)
                          .arg(fit.points);
        return fit;
    }
    const bool logScale = model == CurveModel::LogLog;
    Points fx = x, fy = y;
    if (logScale) {
        std::transform(x.begin(), x.end(), fx.begin(), [](double v) { return std::log10(v); });
        std::transform(y.begin(), y.end(), fy.begin(), [](double v) { return std::log10(v); });
    }
    const LeastSquaresResult r = solve(model, fx, fy, fitWeights(weighting, y));
    if (!r.converged) {
        fit.message = r.message;
        return fit;
    }
    fit.ok = true;
    fit.parameters = r.parameters;
    fit.standardErrors = r.standardErrors;
    fit.rss = r.rss;
    fit.residualSd = fit.points > p ? std::sqrt(r.rss / (fit.points - p)) : 0;
    Points fitted;
    for (double v : x) fitted.push_back(curveValue(fit, v).value_or(0));
    if (logScale)
        for (double& v : fitted) v = std::log10(v);
    fit.r2 = rSquared(fy, fitted);
    return fit;
}

std::optional<double> curveValue(const CurveFit& fit, double x) {
    if (!fit.ok) return std::nullopt;
    const std::vector<double>& p = fit.parameters;
    switch (fit.model) {
        case CurveModel::Linear:
            return p[0] + p[1] * x;
        case CurveModel::LogLog:
            if (x <= 0) return std::nullopt;
            return std::pow(10.0, p[0] + p[1] * std::log10(x));
        case CurveModel::FourPL:
        case CurveModel::FivePL:
            if (x < 0) return std::nullopt;
            return logisticValue(p, x, fit.model == CurveModel::FivePL);
    }
    return std::nullopt;
}

std::optional<double> curveInverse(const CurveFit& fit, double y) {
    if (!fit.ok) return std::nullopt;
    const std::vector<double>& p = fit.parameters;
    std::optional<double> x;
    switch (fit.model) {
        case CurveModel::Linear:
            if (p[1] != 0) x = (y - p[0]) / p[1];
            break;
        case CurveModel::LogLog:
            if (y > 0 && p[1] != 0) x = std::pow(10.0, (std::log10(y) - p[0]) / p[1]);
            break;
        case CurveModel::FourPL:
        case CurveModel::FivePL: {
            // (x/c)^b = ((a - d) / (y - d))^(1/g) - 1, which must be positive.
            const double g = fit.model == CurveModel::FivePL ? p[4] : 1.0;
            const double ratio = (p[0] - p[3]) / (y - p[3]);
            const double u = ratio > 0 ? std::pow(ratio, 1 / g) - 1 : -1;
            if (u > 0) x = p[2] * std::pow(u, 1 / p[1]);
            break;
        }
    }
    if (x && !std::isfinite(*x)) return std::nullopt;
    return x;
}

std::vector<CurvePoint> curvePoints(const CurveFit& fit, double from, double to, int count,
                                    bool logSpacing) {
    std::vector<CurvePoint> points;
    if (count < 2 || (logSpacing && (from <= 0 || to <= 0))) return points;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        const double x = logSpacing ? from * std::pow(to / from, t) : from + (to - from) * t;
        if (const auto y = curveValue(fit, x); y && std::isfinite(*y)) points.push_back({x, *y});
    }
    return points;
}

}  // namespace vantorix
