// The heat map of one set: each well coloured by its value on a logarithmic scale, the value
// written in it, marks for the wells that hold no value, a colour bar and a legend. The same
// drawing serves the measurement window, the picture export and the report.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <array>

#include "results/WellStatus.h"

class QPainter;
class QSize;
class QImage;

namespace vantorix {

struct PlateDocument;

// The values a colour spans: whole decades around the readings (as the grid shows them) so
// that the colour bar's marks fall on 1, 10, 100, ...; the same scale for every set of a
// document keeps colours comparable between sets.
struct HeatScale {
    double lo = 1, hi = 10;
    // 0 at lo (and below), 1 at hi, logarithmic in between.
    double position(double shown) const;
    // Over the read, unsaturated wells of sets 1..sets.
    static HeatScale forSets(const PlateDocument& readings, int firstSet, int lastSet);
};

struct HeatWell {
    WellStatus status = WellStatus::NotSelected;
    double shown = 0;  // the reading less the dark offset, 0 below it
    QString text;      // what the well shows: its value, "sat", "…", "X" or nothing
    QColor mark;       // the frame of a well followed in the kinetics view; invalid when none
};

struct HeatMapPicture {
    std::array<HeatWell, kWellCount> wells;
    HeatScale scale;
    QString title;
};

HeatMapPicture heatMapPicture(const PlateDocument& readings, int set, const WellMatrix& selected,
                              bool setComplete, const HeatScale& scale, const QString& title);

// Where the parts of a heat map painted into `area` go.
struct HeatMapLayout {
    QRectF title, plate, colourBar, legend;
    double cellWidth = 0, cellHeight = 0, headerWidth = 0, headerHeight = 0;
    QRectF cell(int row, int column) const;  // row 0-7, column 0-11
    // Well number 0-95 under `point`, -1 when none.
    int wellAt(QPointF point) const;
};
HeatMapLayout heatMapLayout(const QRectF& area);

void paintHeatMap(QPainter& painter, const QRectF& area, const HeatMapPicture& picture);

// The picture as an image of `size` pixels on a white ground.
QImage heatMapImage(const HeatMapPicture& picture, const QSize& size);

// Writes the picture as PNG or, for a name ending in ".svg", as SVG. Empty text on success,
// else why the file could not be written.
QString writeHeatMapPicture(const HeatMapPicture& picture, const QString& path);

}  // namespace vantorix
