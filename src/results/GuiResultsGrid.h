// The plate grid of the measurement window: a QTableWidget of 8 x 12 well cells under the
// column headers "1".."12" and beside the row headers "  A".."  H". Wells are addressed by
// plate row 1-8 and plate column 1-12, as in Readings.
#pragma once

#include <QColor>
#include <QString>

#include "options/WellSelection.h"
#include "results/CellText.h"

class QTableWidget;

namespace vantorix {

class Readings;

// Background of a selected well while the document can still be edited (a new measurement).
inline const QColor kSelectedWellColour{128, 255, 128};

// Headers, header alignment (left, bottom), cell alignment (left, centred) and the column
// widths: the header column twice the width of "XXX", the twelve plate columns share the rest.
void layOutResultsGrid(QTableWidget& grid);

void setWellText(QTableWidget& grid, int row, int column, const QString& text);
QString wellText(const QTableWidget& grid, int row, int column);
QColor wellBackground(const QTableWidget& grid, int row, int column);

// Writes all 96 cells of `set` by the cell rule for the document's ".data.sets" value.
void fillResultsGrid(QTableWidget& grid, const Readings& readings, int set, GridMode mode,
                     const QString& setsValue);

// Light green behind the selected wells when canEdit holds, else the plain window background.
void shadeWells(QTableWidget& grid, const WellMatrix& wells, bool canEdit);

}  // namespace vantorix
