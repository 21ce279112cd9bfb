// The plate grid of the measurement window: a QTableWidget of 8 x 12 well cells under the
// column headers "1".."12" and beside the row headers "  A".."  H". Wells are addressed by
// plate row 1-8 and plate column 1-12, as PlateDocument::reading takes them.
#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <vector>

#include "options/WellSelection.h"
#include "results/CellText.h"
#include "results/WellStatus.h"

class QTableWidget;
class QWidget;

namespace vantorix {

struct PlateDocument;

// Background of a selected well still waiting for its reading (the light green a new
// measurement has always shown its chosen wells in).
inline const QColor kSelectedWellColour{128, 255, 128};

// Each status has its own background, so an "X" with no reading never looks like a plain "X"
// of an unselected well and neither looks like a reading. Read wells keep the plain background.
QColor wellStatusColour(WellStatus status);

// Headers, header alignment (left, bottom), cell alignment (left, centred) and the column
// widths: the header column twice the width of "XXX", the twelve plate columns share the rest.
void layOutResultsGrid(QTableWidget& grid);

void setWellText(QTableWidget& grid, int row, int column, const QString& text);
QString wellText(const QTableWidget& grid, int row, int column);
QColor wellBackground(const QTableWidget& grid, int row, int column);
QString wellToolTip(const QTableWidget& grid, int row, int column);

// Writes all 96 cells of `set` by the cell rule; "X" throughout for a document that declares
// no sets.
void fillResultsGrid(QTableWidget& grid, const PlateDocument& document, int set, GridMode mode,
                     bool declaresSets);

// A cell of the set a run is measuring, in `mode`: the reading or its time once it arrived, the
// pending mark in a selected well still without one, "X" in a well the run does not read.
QString runningCellText(const PlateDocument& readings, int set, int row, int column, GridMode mode,
                        bool selected);
void fillRunningSet(QTableWidget& grid, const PlateDocument& readings, int set, GridMode mode,
                    const WellMatrix& selected);

// The texts of a set still to be measured: the pending mark in the selected wells, "X" elsewhere.
void showPendingWells(QTableWidget& grid, const WellMatrix& selected);

// Background and tooltip ("B7: saturated") of every well by its status; the texts stay.
void shadeWellStatuses(QTableWidget& grid, const std::array<WellStatus, kWellCount>& statuses);

// Frames the wells followed in the kinetics view (numbers 0-95 in the order chosen) in their
// series' colours; every other well loses its frame.
void markChosenWells(QTableWidget& grid, const std::vector<int>& chosen);
// The frame's colour of a well (row 1-8, column 1-12); invalid when it is not followed.
QColor wellMark(const QTableWidget& grid, int row, int column);

// A row of the five backgrounds with their names, to sit under the grid.
QWidget* newWellStatusLegend(QWidget* parent);

}  // namespace vantorix
