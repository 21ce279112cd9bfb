#include "analysis/LeastSquares.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

namespace vantorix::detail {

namespace {

ceres::Solver::Options solverOptions(double initialRadius) {
    ceres::Solver::Options options;
    if (initialRadius > 0) options.initial_trust_region_radius = initialRadius;
    options.minimizer_type = ceres::TRUST_REGION;
    options.trust_region_strategy_type = ceres::LEVENBERG_MARQUARDT;
    options.linear_solver_type = ceres::DENSE_QR;
    options.logging_type = ceres::SILENT;
    options.minimizer_progress_to_stdout = false;
    // Certified results agree to 1e-6 only when the solver stops at the minimum itself, not
    // where the cost merely stops falling fast.
    options.max_num_iterations = 1000;
    options.function_tolerance = 1e-16;
    options.gradient_tolerance = 1e-16;
    options.parameter_tolerance = 1e-14;
    // Started at the minimum itself (a straight line's start is its solution), every step's
    // predicted decrease is rounding noise that Ceres counts as an invalid step; given room,
    // the function tolerance ends the fit there instead.
    options.max_num_consecutive_invalid_steps = 100;
    options.num_threads = 1;
    return options;
}

// sqrt(diag((J^T J)^-1) * rss / (n - p)), through a pivoted QR of J rather than J^T J, whose
// condition number is the square of J's.
std::vector<std::optional<double>> standardErrors(const ceres::CRSMatrix& jacobian, double rss,
                                                  int observations) {
    const int p = jacobian.num_cols;
    std::vector<std::optional<double>> errors(static_cast<size_t>(p));
    if (observations <= p) return errors;
    Eigen::MatrixXd j = Eigen::MatrixXd::Zero(jacobian.num_rows, p);
    for (int r = 0; r < jacobian.num_rows; ++r)
        for (int k = jacobian.rows[size_t(r)]; k < jacobian.rows[size_t(r) + 1]; ++k)
            j(r, jacobian.cols[size_t(k)]) = jacobian.values[size_t(k)];
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(j);
    if (qr.rank() < p) return errors;
    const Eigen::MatrixXd r = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
    const Eigen::MatrixXd rInverse =
        r.triangularView<Eigen::Upper>().solve(Eigen::MatrixXd::Identity(p, p));
    const Eigen::MatrixXd covariance =
        qr.colsPermutation() * rInverse * rInverse.transpose() * qr.colsPermutation().transpose();
    const double variance = rss / (observations - p);
    for (int i = 0; i < p; ++i)
        if (covariance(i, i) >= 0) errors[size_t(i)] = std::sqrt(covariance(i, i) * variance);
    return errors;
}

}  // namespace

LeastSquaresResult solveLeastSquares(ceres::Problem& problem, std::vector<double> parameters,
                                     int observations, double initialRadius) {
    ceres::Solver::Summary summary;
    ceres::Solve(solverOptions(initialRadius), &problem, &summary);
    LeastSquaresResult result;
    if (!summary.IsSolutionUsable() || !std::isfinite(summary.final_cost)) {
        result.message = QStringLiteral("the fit did not converge");
        return result;
    }
    double cost = 0;
    ceres::CRSMatrix jacobian;
    const bool evaluated =
        problem.Evaluate(ceres::Problem::EvaluateOptions(), &cost, nullptr, nullptr, &jacobian);
    result.converged = true;
    result.rss = 2 * summary.final_cost;  // Ceres minimises half the sum of squares
    // Without a Jacobian at the solution the parameters' errors are not known.
    result.standardErrors = evaluated ? standardErrors(jacobian, result.rss, observations)
                                      : std::vector<std::optional<double>>(parameters.size());
    result.parameters = std::move(parameters);
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
