// Figures of a group of replicate readings: mean, SD with n - 1 in the denominator, CV %.
#pragma once

#include <optional>
#include <vector>

namespace vantorix {

struct ReplicateFigures {
    std::optional<double> mean;  // of one value or more
    std::optional<double> sd;    // of two or more
    std::optional<double> cv;    // 100 * sd / mean, for a positive mean
};

ReplicateFigures replicateFigures(const std::vector<double>& values);

}  // namespace vantorix
