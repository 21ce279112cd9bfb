// A figure per well on the plate picture (the kinetics' slope, maximum, time of the maximum or
// area): each well coloured from the lowest to the highest figure on a linear scale, its figure
// written in it, and a colour bar with the two ends and the unit.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "kernel/RunOptions.h"

class QPainter;

namespace vantorix {

struct FigurePlate {
    std::array<std::optional<double>, kWellCount> values{};  // none: the well has no figure
    QString caption;                                         // "Slope (RLU/s)"
};

// Dark blue at 0 through teal to yellow at 1; t is clamped.
QColor figureColour(double t);

void paintFigurePlate(QPainter& painter, const QRectF& area, const FigurePlate& plate);

}  // namespace vantorix
