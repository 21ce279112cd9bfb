// The plate picture of a layout: each well filled in its role's colour with what identifies it
// (a standard's concentration, a sample's name), left-out wells crossed, the row letters and
// column numbers, and a legend of the roles. The layout editor, the analysis view and the report
// draw the same picture.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>

#include "plate/WellLayout.h"

class QPainter;

namespace vantorix {

QColor roleColour(WellRole role);
// "Blank", "Standard", "Positive control", ...
QString roleCaption(WellRole role);
// What a well shows: "12.5" for a standard, a sample's name, "B", "+", "−"; "" when empty.
QString layoutWellText(const WellAssignment& well);

// Where the parts of a layout picture painted into `area` go.
struct LayoutPlateGeometry {
    QRectF plate, legend;
    double cellWidth = 0, cellHeight = 0, headerWidth = 0, headerHeight = 0;
    QRectF cell(int row, int column) const;
    // Well number under `point`, -1 when none; the row header gives its row, the column header
    // its column (the other -1).
    int wellAt(QPointF point) const;
    int rowHeaderAt(QPointF point) const;
    int columnHeaderAt(QPointF point) const;
};
LayoutPlateGeometry layoutPlateGeometry(const QRectF& area);

// The column numbers above the plate and the row letters left of it, in bold; the pen is left
// in the ink of the text.
void paintPlateHeaders(QPainter& painter, const QRectF& area, const LayoutPlateGeometry& g);

struct LayoutHighlight {
    int top = -1, left = -1, bottom = -1, right = -1;  // the wells the last action touched
};

void paintLayoutPlate(QPainter& painter, const QRectF& area, const WellLayout& layout,
                      const LayoutHighlight& highlight = {});

}  // namespace vantorix
