#include "analysis/Replicates.h"

#include <cmath>
#include <numeric>

namespace vantorix {

ReplicateFigures replicateFigures(const std::vector<double>& values) {
    ReplicateFigures f;
    if (values.empty()) return f;
    const double n = double(values.size());
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / n;
    f.mean = mean;
    if (values.size() < 2) return f;
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    f.sd = std::sqrt(squares / (n - 1));
    if (mean > 0) f.cv = 100 * *f.sd / mean;
    return f;
}

}  // namespace vantorix
