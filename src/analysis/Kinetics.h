// Kinetics across the datasets of a run with repeats: how each well's value moves with the
// reading time.
#pragma once

#include <array>
#include <optional>

#include "plate/PlateDocument.h"

namespace vantorix {

struct WellKinetics {
    int points = 0;                       // readings with a time that entered the figures
    std::optional<double> slope;          // least squares of value against seconds, per second
    std::optional<double> maximum;        // highest value
    std::optional<double> timeOfMaximum;  // seconds of its (first) reading
    std::optional<double> area;           // trapezoids over the reading times, value * s
};

enum class KineticsFigure { Slope, Maximum, TimeOfMaximum, Area };

// Per well, over every dataset: readings that are missing, saturated, without a time, or of
// a well the layout excludes, are left out.
std::array<WellKinetics, kWellCount> wellKinetics(const PlateDocument& document);
// The chosen figure of a well, for a heat map.
std::optional<double> kineticsFigure(const WellKinetics& kinetics, KineticsFigure figure);

}  // namespace vantorix
