// Weighted nonlinear least squares on Ceres: minimises sum w_i * (y_i - f(x_i, p))^2 and gives
// the parameters' standard errors from the Jacobian at the solution.
//
// A model is a functor with `static constexpr int kParameters` and
// `template <class T> T operator()(const T* p, double x) const`; Ceres differentiates it
// exactly (automatic differentiation), so the standard errors need no step size.
#pragma once

#include <ceres/ceres.h>

#include <QString>
#include <optional>
#include <vector>

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

// Ceres' solver settings and the covariance, shared by every model. initialRadius 0: Ceres'
// own first trust region.
LeastSquaresResult solveLeastSquares(ceres::Problem& problem, std::vector<double> parameters,
                                     int observations, double initialRadius);

// Levenberg-Marquardt's usual first step can leap onto a ridge where a parameter no longer
// matters (an exponential's rate running off to infinity, the curve a flat line): a solution
// whose parameters are not all determined is tried again with cautious first steps.
inline constexpr double kTrustRegionRadii[] = {0, 1e-4};
// Whether a solution is one to keep rather than try again; which of two is the better.
bool settled(const LeastSquaresResult& r, int observations);
bool better(const LeastSquaresResult& candidate, const LeastSquaresResult& best);

// Ceres' isfinite looks at a Jet's value only; an overflowing derivative must be refused too.
inline bool allFinite(double v) {
    return std::isfinite(v);
}
template <class T, int N>
bool allFinite(const ceres::Jet<T, N>& j) {
    return std::isfinite(j.a) && j.v.allFinite();
}

template <class Model>
struct WeightedResiduals {
    const Model& model;
    const std::vector<double>& x;
    const std::vector<double>& y;
    const std::vector<double>& weights;  // empty: all 1

    template <class T>
    bool operator()(const T* p, T* residuals) const {
        for (size_t i = 0; i < x.size(); ++i) {
            const T r = T(y[i]) - model(p, x[i]);
            residuals[i] = weights.empty() ? r : r * std::sqrt(weights[i]);
            // A step into overflow is refused, not evaluated.
            if (!allFinite(residuals[i])) return false;
        }
        return true;
    }
};

}  // namespace detail

// Observations with a weight (weights empty: all 1) from the given start; bounds keep a
// parameter above a lower limit.
template <class Model>
LeastSquaresResult fitLeastSquares(const Model& model, const std::vector<double>& x,
                                   const std::vector<double>& y, const std::vector<double>& weights,
                                   std::vector<double> start,
                                   const std::vector<ParameterBound>& bounds = {}) {
    using Residuals = detail::WeightedResiduals<Model>;
    const int n = int(x.size());
    LeastSquaresResult best;
    best.message = QStringLiteral("the fit did not converge");
    for (double radius : detail::kTrustRegionRadii) {
        std::vector<double> p = start;
        ceres::Problem problem;
        problem.AddResidualBlock(
            new ceres::AutoDiffCostFunction<Residuals, ceres::DYNAMIC, Model::kParameters>(
                new Residuals{model, x, y, weights}, n),
            nullptr, p.data());
        for (const ParameterBound& b : bounds)
            problem.SetParameterLowerBound(p.data(), b.index, b.lower);
        // The problem keeps p's buffer, which moving the vector hands over unchanged.
        LeastSquaresResult r = detail::solveLeastSquares(problem, std::move(p), n, radius);
        if (detail::better(r, best)) best = std::move(r);
        if (detail::settled(best, n)) break;
    }
    return best;
}

}  // namespace vantorix
