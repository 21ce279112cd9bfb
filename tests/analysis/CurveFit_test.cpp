// Standard curves: exact curves found again and read both ways (by hand), and fits of
// synthetic noisy standard series that agree with an independent fit, SciPy's curve_fit (a
// different Levenberg-Marquardt, MINPACK's) run by python3 in the test.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "analysis/CurveFit.h"

namespace vantorix {
namespace {

// Draws the series (seeded, so every run fits the same numbers), fits it from a start near the
// truth and prints x, y, the parameters, and concentrations read off the curve at signals
// spread between the asymptotes.
const char* const kScipyFit = R"(
import json, sys
import numpy as np
from scipy.optimize import curve_fit
model, weighting, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
def f4(x, a, b, c, d): return d + (a - d) / (1 + (x / c) ** b)
def f5(x, a, b, c, d, g): return d + (a - d) / (1 + (x / c) ** b) ** g
truth = [120.0, 1.3, 40.0, 52000.0] + ([0.6] if model == '5pl' else [])
f = f5 if model == '5pl' else f4
rng = np.random.default_rng(seed)
x = np.repeat(1000.0 / 2.0 ** np.arange(10), 3 if model == '5pl' else 2)
y = f(x, *truth) * (1 + 0.03 * rng.standard_normal(x.size))
sigma = {'none': None, '1/y': np.sqrt(y), '1/y2': y}[weighting]
start = [t * 1.1 for t in truth]
p, _ = curve_fit(f, x, y, p0=start, sigma=sigma, method='lm', ftol=1e-15, xtol=1e-15,
                 gtol=1e-15, maxfev=100000)
a, b, c, d = p[:4]
g = p[4] if model == '5pl' else 1.0
levels = [a + (d - a) * t for t in (0.1, 0.3, 0.5, 0.7, 0.9)]
conc = [c * (((a - d) / (s - d)) ** (1 / g) - 1) ** (1 / b) for s in levels]
print(json.dumps({'x': x.tolist(), 'y': y.tolist(), 'p': p.tolist(), 'levels': levels,
                  'conc': conc}))
)";

TEST(CurveFit, ExactLogisticCurvesAreFoundWithBPositiveWhicheverWayTheyRun) {
    // y = d + (a - d) / (1 + (x/10)^2) at x = 1, 3, 10, 30, 100: (x/10)^2 + 1 = 1.01, 1.09, 2,
    // 10, 101; falling from 1000 to 100, and rising from 100 to 1000.
    const std::vector<double> x{1, 3, 10, 30, 100};
    const std::vector<double> g{1.01, 1.09, 2, 10, 101};
    for (const auto& [a, d] : {std::pair{1000.0, 100.0}, std::pair{100.0, 1000.0}}) {
        std::vector<double> y;
        for (double v : g) y.push_back(d + (a - d) / v);
        const CurveFit fit = fitCurve(CurveModel::FourPL, Weighting::None, x, y);
        ASSERT_TRUE(fit.ok) << fit.message.toStdString();
        const double expected[] = {a, 2, 10, d};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(fit.parameters[i], expected[i], 1e-6 * expected[i]);
        EXPECT_NEAR(*fit.r2, 1, 1e-12);
        EXPECT_NEAR(*curveInverse(fit, d + (a - d) / 2), 10, 1e-6);  // the middle is at c
        EXPECT_NEAR(*curveInverse(fit, d + (a - d) / 10), 30, 1e-5);
        EXPECT_FALSE(curveInverse(fit, a + (a - d) / 100));  // beyond the asymptotes
        EXPECT_FALSE(curveInverse(fit, d - (a - d) / 100));
    }
}

TEST(CurveFit, EachModelIsReadForwardsAndBackwards) {
    // By hand: 5pl 100 - 100 / (1 + x/10)^2 is 75 at 10 and 100 - 100/16 = 93.75 at 30;
    // loglog 10^(1 + 0.5 log10 x) is 100 at 100; the line 2 + 3x is 32 at 10.
    const struct {
        CurveModel model;
        std::vector<double> p;
        double x, y;
    } cases[] = {
        {CurveModel::FivePL, {0, 1, 10, 100, 2}, 10, 75},
        {CurveModel::FivePL, {0, 1, 10, 100, 2}, 30, 93.75},
        {CurveModel::LogLog, {1, 0.5}, 100, 100},
        {CurveModel::Linear, {2, 3}, 10, 32},
    };
    for (const auto& c : cases) {
        CurveFit fit;
        fit.ok = true, fit.model = c.model, fit.parameters = c.p;
        EXPECT_NEAR(*curveValue(fit, c.x), c.y, 1e-9 * c.y);
        EXPECT_NEAR(*curveInverse(fit, c.y), c.x, 1e-9 * c.x);
    }
    CurveFit flat;
    flat.ok = true, flat.model = CurveModel::Linear, flat.parameters = {5, 0};
    EXPECT_FALSE(curveInverse(flat, 5));
    const std::vector<CurvePoint> points = curvePoints(flat, 1, 100, 3, true);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[1].x, 10, 1e-12);
}

std::vector<double> numbers(const QJsonValue& v) {
    std::vector<double> out;
    for (const QJsonValue& n : v.toArray()) out.push_back(n.toDouble());
    return out;
}

QJsonObject scipyFit(const QString& model, const QString& weighting, int seed) {
    QProcess python;
    // The system Python holds SciPy; a user-installed one may not.
    python.start("/usr/bin/python3", {"-c", kScipyFit, model, weighting, QString::number(seed)});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

void expectRelative(double actual, double expected, const char* what, size_t i) {
    EXPECT_NEAR(actual, expected, 1e-4 * std::abs(expected)) << what << ' ' << i;
}

TEST(CurveFit, LogisticFitsAgreeWithScipyInParametersAndConcentrations) {
    const struct {
        CurveModel model;
        Weighting weighting;
        const char *modelKey, *weightingKey;
        int seed;
    } cases[] = {
        {CurveModel::FourPL, Weighting::None, "4pl", "none", 11},
        {CurveModel::FourPL, Weighting::InverseY2, "4pl", "1/y2", 12},
        {CurveModel::FivePL, Weighting::None, "5pl", "none", 13},
        {CurveModel::FivePL, Weighting::InverseY, "5pl", "1/y", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.modelKey) + " " + c.weightingKey);
        const QJsonObject scipy = scipyFit(c.modelKey, c.weightingKey, c.seed);
        const CurveFit fit =
            fitCurve(c.model, c.weighting, numbers(scipy["x"]), numbers(scipy["y"]));
        ASSERT_TRUE(fit.ok) << fit.message.toStdString();
        const std::vector<double> p = numbers(scipy["p"]);
        ASSERT_EQ(fit.parameters.size(), p.size());
        for (size_t i = 0; i < p.size(); ++i) expectRelative(fit.parameters[i], p[i], "p", i);
        const std::vector<double> levels = numbers(scipy["levels"]);
        const std::vector<double> conc = numbers(scipy["conc"]);
        for (size_t i = 0; i < levels.size(); ++i) {
            const std::optional<double> x = curveInverse(fit, levels[i]);
            ASSERT_TRUE(x) << "signal " << levels[i];
            expectRelative(*x, conc[i], "concentration", i);
        }
    }
}

}  // namespace
}  // namespace vantorix
