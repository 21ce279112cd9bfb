#include "analysis/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantorix::detail {

namespace {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

// Certified results agree to 1e-6 only when the solver stops at the minimum itself, not where
// the cost merely stops falling fast.
constexpr int kMaxIterations = 1000;
constexpr double kFunctionTolerance = 1e-16;
constexpr double kGradientTolerance = 1e-16;
constexpr double kParameterTolerance = 1e-14;
// A step is taken when the cost falls by at least this share of the fall the linear model
// predicts.
constexpr double kMinRelativeDecrease = 1e-3;
// The damping's range. Past the top every step is rounding noise: the minimum is reached.
constexpr double kMinDamping = 1e-16;
constexpr double kMaxDamping = 1e32;
// Marquardt's scaling's range, so a column that vanishes still damps its parameter.
constexpr double kMinDiagonal = 1e-6;
constexpr double kMaxDiagonal = 1e32;

struct Point {
    VectorXd p, r;
    MatrixXd j;
    double cost = 0;  // half the sum of squares
};

bool evaluate(const Residuals& residuals, Point& at) {
    if (!residuals(at.p, at.r, at.j)) return false;
    at.cost = 0.5 * at.r.squaredNorm();
    return std::isfinite(at.cost);
}

VectorXd lowerLimits(Index size, const std::vector<ParameterBound>& bounds) {
    VectorXd lower = VectorXd::Constant(size, -std::numeric_limits<double>::infinity());
    for (const ParameterBound& b : bounds) lower[b.index] = b.lower;
    return lower;
}

// The step minimising |J h + r|^2 + damping |D h|^2, D^2 the diagonal of J^T J (Marquardt's
// scaling, so the step does not depend on the parameters' units). J's columns are scaled to
// about unit length first and the system is solved by QR, never through J^T J, whose
// condition number is the square of J's.
// A parameter resting on its bound that the cost would push further down is held there: the
// step is taken in the others alone, so they reach their best values for it.
VectorXd dampedStep(const Point& at, const VectorXd& lower, double damping) {
    const Index n = at.j.rows(), k = at.j.cols();
    const VectorXd gradient = at.j.transpose() * at.r;
    MatrixXd j = at.j;
    for (Index i = 0; i < k; ++i)
        if (at.p[i] <= lower[i] && gradient[i] > 0) j.col(i).setZero();
    const VectorXd scale = (1.0 + j.colwise().norm().transpose().array()).inverse().matrix();
    const MatrixXd scaled = j * scale.asDiagonal();
    const VectorXd diagonal =
        scaled.colwise().squaredNorm().transpose().cwiseMax(kMinDiagonal).cwiseMin(kMaxDiagonal);
    MatrixXd a(n + k, k);
    a << scaled, MatrixXd((damping * diagonal).cwiseSqrt().asDiagonal());
    VectorXd b = VectorXd::Zero(n + k);
    b.head(n) = -at.r;
    return scale.asDiagonal() * a.colPivHouseholderQr().solve(b);
}

// The fall in cost the linear model predicts for a step.
double predictedDecrease(const Point& at, const VectorXd& step) {
    const VectorXd jStep = at.j * step;
    return -step.dot(at.j.transpose() * at.r) - 0.5 * jStep.squaredNorm();
}

bool gradientVanishes(const Point& at, const VectorXd& lower) {
    const VectorXd gradient = at.j.transpose() * at.r;
    const VectorXd projected = (at.p - gradient).cwiseMax(lower);
    return (at.p - projected).lpNorm<Eigen::Infinity>() <= kGradientTolerance;
}

bool stepNegligible(const Point& at, const VectorXd& step) {
    return step.norm() <= kParameterTolerance * (at.p.norm() + kParameterTolerance);
}

// sqrt(diag((J^T J)^-1) * rss / (n - p)), through a pivoted QR of J.
std::vector<std::optional<double>> standardErrors(const MatrixXd& j, double rss) {
    const Index observations = j.rows(), p = j.cols();
    std::vector<std::optional<double>> errors(static_cast<size_t>(p));
    if (observations <= p) return errors;
    Eigen::ColPivHouseholderQR<MatrixXd> qr(j);
    if (qr.rank() < p) return errors;
    const MatrixXd r = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
    const MatrixXd rInverse = r.triangularView<Eigen::Upper>().solve(MatrixXd::Identity(p, p));
    const MatrixXd covariance =
        qr.colsPermutation() * rInverse * rInverse.transpose() * qr.colsPermutation().transpose();
    const double variance = rss / double(observations - p);
    for (Index i = 0; i < p; ++i)
        if (covariance(i, i) >= 0) errors[size_t(i)] = std::sqrt(covariance(i, i) * variance);
    return errors;
}

// Levenberg-Marquardt with Nielsen's damping update: a good step relaxes the damping, a
// refused one (a poor or non-finite step) raises it ever faster.
void minimise(const Residuals& residuals, Point& at, const VectorXd& lower, double damping) {
    double growth = 2;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        if (gradientVanishes(at, lower)) return;
        Point candidate;
        candidate.p = (at.p + dampedStep(at, lower, damping)).cwiseMax(lower);
        const VectorXd step = candidate.p - at.p;
        if (stepNegligible(at, step)) return;
        const double predicted = predictedDecrease(at, step);
        const bool valid = predicted > 0 && evaluate(residuals, candidate);
        const double ratio = valid ? (at.cost - candidate.cost) / predicted : 0;
        if (ratio > kMinRelativeDecrease) {
            const double fall = (at.cost - candidate.cost) / at.cost;
            at = std::move(candidate);
            damping =
                std::max(kMinDamping, damping * std::max(1.0 / 3, 1 - std::pow(2 * ratio - 1, 3)));
            growth = 2;
            if (fall <= kFunctionTolerance) return;
        } else {
            damping *= growth;
            growth *= 2;
            if (damping > kMaxDamping) return;
        }
    }
}

}  // namespace

LeastSquaresResult solveLeastSquares(const Residuals& residuals, std::vector<double> start,
                                     const std::vector<ParameterBound>& bounds,
                                     double initialDamping) {
    LeastSquaresResult result;
    const VectorXd lower = lowerLimits(Index(start.size()), bounds);
    Point at;
    at.p = Eigen::Map<const VectorXd>(start.data(), Index(start.size())).cwiseMax(lower);
    if (!evaluate(residuals, at)) {
        result.message = QStringLiteral("the fit did not converge");
        return result;
    }
    minimise(residuals, at, lower, initialDamping);
    result.converged = true;
    result.rss = 2 * at.cost;
    result.standardErrors = standardErrors(at.j, result.rss);
    result.parameters.assign(at.p.data(), at.p.data() + at.p.size());
    return result;
}

bool settled(const LeastSquaresResult& r, int observations) {
    if (!r.converged) return false;
    if (observations <= int(r.parameters.size())) return true;
    return std::all_of(r.standardErrors.begin(), r.standardErrors.end(),
                       [](const std::optional<double>& e) { return e.has_value(); });
}

bool better(const LeastSquaresResult& candidate, const LeastSquaresResult& best) {
    if (!candidate.converged) return false;
    return !best.converged || candidate.rss < best.rss;
}

}  // namespace vantorix::detail
