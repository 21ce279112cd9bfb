#include "results/GuiResultsGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

#include "results/Readings.h"

namespace vantorix {

namespace {

QTableWidgetItem* wellItem(QTableWidget& grid, int row, int column) {
    QTableWidgetItem* item = grid.item(row - 1, column - 1);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsEnabled);
        grid.setItem(row - 1, column - 1, item);
    }
    return item;
}

bool isWell(int row, int column) {
    return row >= 1 && row <= kPlateRows && column >= 1 && column <= kPlateColumns;
}

}  // namespace

void layOutResultsGrid(QTableWidget& grid) {
    grid.setRowCount(kPlateRows);
    grid.setColumnCount(kPlateColumns);
    QStringList rowHeaders, columnHeaders;
    for (int r = 0; r < kPlateRows; ++r) rowHeaders << QStringLiteral("  ") + QChar(u'A' + r);
    for (int c = 1; c <= kPlateColumns; ++c) columnHeaders << QString::number(c);
    grid.setVerticalHeaderLabels(rowHeaders);
    grid.setHorizontalHeaderLabels(columnHeaders);
    grid.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignBottom);
    grid.verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int headerWidth = 2 * QFontMetrics(grid.font()).horizontalAdvance(QStringLiteral("XXX"));
    grid.verticalHeader()->setFixedWidth(headerWidth);
    // The plate columns share the grid's width equally, whatever the window's size.
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c) wellItem(grid, r, c);
}

void setWellText(QTableWidget& grid, int row, int column, const QString& text) {
    if (!isWell(row, column)) return;
    wellItem(grid, row, column)->setText(text);
}

QString wellText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = isWell(row, column) ? grid.item(row - 1, column - 1) : nullptr;
    return item ? item->text() : QString();
}

QColor wellBackground(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = isWell(row, column) ? grid.item(row - 1, column - 1) : nullptr;
    if (!item || item->background().style() == Qt::NoBrush)
        return grid.palette().color(QPalette::Base);
    return item->background().color();
}

void fillResultsGrid(QTableWidget& grid, const Readings& readings, int set, GridMode mode,
                     const QString& setsValue) {
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c)
            setWellText(grid, r, c, cellText(readings, set, r, c, mode, setsValue));
}

void shadeWells(QTableWidget& grid, const WellMatrix& wells, bool canEdit) {
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c) {
            QTableWidgetItem* item = wellItem(grid, r + 1, c + 1);
            if (canEdit && wells[r][c])
                item->setBackground(kSelectedWellColour);
            else
                item->setBackground(QBrush());  // the grid's own window background
        }
}

}  // namespace vantorix
