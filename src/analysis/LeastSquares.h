// Weighted nonlinear least squares: minimises sum w_i * (y_i - f(x_i, p))^2 by
// Levenberg-Marquardt and gives the parameters' standard errors from the Jacobian at the
// solution.
//
// A model is a functor with `static constexpr int kParameters` and
// `template <class T> T operator()(const T* p, double x) const`; it is differentiated exactly
// (on dual numbers), so the standard errors need no step size.
#pragma once

#include <Eigen/Dense>
#include <QString>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/Dual.h"

namespace vantorix {

struct LeastSquaresResult {
    bool converged = false;
    QString message;  // why not, when not
    std::vector<double> parameters;
    std::vector<std::optional<double>> standardErrors;  // none when not determined
    double rss = 0;                                     // weighted
};

struct ParameterBound {
    int index;
    double lower;
};

namespace detail {

// The residuals and their Jacobian at p; false when they are not finite there.
using Residuals = std::function<bool(const Eigen::VectorXd& p, Eigen::VectorXd& residuals,
                                     Eigen::MatrixXd& jacobian)>;

// Levenberg-Marquardt from the start, each step kept above the bounds. initialDamping is the
// first step's damping relative to the Jacobian's scale.
LeastSquaresResult solveLeastSquares(const Residuals& residuals, std::vector<double> start,
                                     const std::vector<ParameterBound>& bounds,
                                     double initialDamping);

// The usual first step can leap onto a ridge where a parameter no longer matters (an
// exponential's rate running off to infinity, the curve a flat line): a solution whose
// parameters are not all determined is tried again with cautious first steps.
inline constexpr double kInitialDamping[] = {1e-4, 1e4};
// Whether a solution is one to keep rather than try again; which of two is the better.
bool settled(const LeastSquaresResult& r, int observations);
bool better(const LeastSquaresResult& candidate, const LeastSquaresResult& best);

// sqrt(w_i) * (y_i - f(x_i, p)) and their derivatives in p.
template <class Model>
Residuals weightedResiduals(const Model& model, const std::vector<double>& x,
                            const std::vector<double>& y, const std::vector<double>& weights) {
    constexpr int kN = Model::kParameters;
    return [&model, &x, &y, &weights](const Eigen::VectorXd& p, Eigen::VectorXd& residuals,
                                      Eigen::MatrixXd& jacobian) {
        std::array<Dual<kN>, kN> q;
        for (int k = 0; k < kN; ++k) q[size_t(k)] = Dual<kN>::variable(p[k], k);
        residuals.resize(Eigen::Index(x.size()));
        jacobian.resize(Eigen::Index(x.size()), kN);
        for (size_t i = 0; i < x.size(); ++i) {
            Dual<kN> r = Dual<kN>(y[i]) - model(q.data(), x[i]);
            if (!weights.empty()) r = r * std::sqrt(weights[i]);
            // A step into overflow is refused, not evaluated.
            if (!r.allFinite()) return false;
            residuals[Eigen::Index(i)] = r.a;
            for (int k = 0; k < kN; ++k) jacobian(Eigen::Index(i), k) = r.v[size_t(k)];
        }
        return true;
    };
}

}  // namespace detail

// Observations with a weight (weights empty: all 1) from the given start; bounds keep a
// parameter above a lower limit.
template <class Model>
LeastSquaresResult fitLeastSquares(const Model& model, const std::vector<double>& x,
                                   const std::vector<double>& y, const std::vector<double>& weights,
                                   std::vector<double> start,
                                   const std::vector<ParameterBound>& bounds = {}) {
    const detail::Residuals residuals = detail::weightedResiduals(model, x, y, weights);
    LeastSquaresResult best;
    best.message = QStringLiteral("the fit did not converge");
    for (double damping : detail::kInitialDamping) {
        LeastSquaresResult r = detail::solveLeastSquares(residuals, start, bounds, damping);
        if (detail::better(r, best)) best = std::move(r);
        if (detail::settled(best, int(x.size()))) break;
    }
    return best;
}

}  // namespace vantorix
