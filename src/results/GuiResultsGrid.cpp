#include "results/GuiResultsGrid.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "kernel/Text.h"
#include "plate/PlateDocument.h"
#include "results/PaintPalette.h"

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

constexpr int kMarkRole = Qt::UserRole + 1;

// Draws a followed well's frame over the cell.
class MarkedWellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QColor mark = index.data(kMarkRole).value<QColor>();
        if (!mark.isValid()) return;
        painter->save();
        painter->setPen(QPen(mark, 3));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1.5, 1.5, -1.5, -1.5));
        painter->restore();
    }
};

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
    grid.setItemDelegate(new MarkedWellDelegate(&grid));
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

void fillResultsGrid(QTableWidget& grid, const PlateDocument& document, int set, GridMode mode,
                     bool declaresSets) {
    static const WellReading none;
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c)
            setWellText(grid, r, c,
                        cellText(declaresSets ? document.reading(set, r, c) : none, mode));
}

QString runningCellText(const PlateDocument& readings, int set, int row, int column, GridMode mode,
                        bool selected) {
    const WellReading& reading = readings.reading(set, row, column);
    if (!selected) return runCellText(reading.raw, false);
    if (!reading.raw) return QString::fromLatin1(kPendingCellText);
    return cellText(reading, mode);
}

void fillRunningSet(QTableWidget& grid, const PlateDocument& readings, int set, GridMode mode,
                    const WellMatrix& selected) {
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c)
            setWellText(grid, r, c,
                        runningCellText(readings, set, r, c, mode, selected[r - 1][c - 1]));
}

void showPendingWells(QTableWidget& grid, const WellMatrix& selected) {
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c)
            setWellText(grid, r, c,
                        selected[r - 1][c - 1] ? QString::fromLatin1(kPendingCellText)
                                               : runCellText(std::nullopt, false));
}

QColor wellStatusColour(WellStatus status) {
    switch (status) {
        case WellStatus::NotSelected:
            return QColor(216, 216, 216);
        case WellStatus::Pending:
            return kSelectedWellColour;
        case WellStatus::Read:
            break;
        case WellStatus::Saturated:
            return QColor(255, 196, 112);
        case WellStatus::NoReading:
            return QColor(255, 168, 168);
    }
    return QColor();  // invalid: the grid's own background
}

QString wellToolTip(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = isWell(row, column) ? grid.item(row - 1, column - 1) : nullptr;
    return item ? item->toolTip() : QString();
}

void shadeWellStatuses(QTableWidget& grid, const std::array<WellStatus, kWellCount>& statuses) {
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c) {
            const WellStatus status = statuses[(r - 1) * kPlateColumns + c - 1];
            const QColor colour = wellStatusColour(status);
            QTableWidgetItem* item = wellItem(grid, r, c);
            item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
            item->setToolTip(QStringLiteral("%1%2: %3")
                                 .arg(QChar(u'A' + r - 1))
                                 .arg(c)
                                 .arg(wellStatusName(status)));
        }
}

void markChosenWells(QTableWidget& grid, const std::vector<int>& chosen) {
    for (int well = 0; well < kWellCount; ++well) {
        const auto it = std::find(chosen.begin(), chosen.end(), well);
        const QColor mark = it == chosen.end() ? QColor() : seriesColour(int(it - chosen.begin()));
        wellItem(grid, well / kPlateColumns + 1, well % kPlateColumns + 1)
            ->setData(kMarkRole, mark.isValid() ? QVariant(mark) : QVariant());
    }
}

QColor wellMark(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = isWell(row, column) ? grid.item(row - 1, column - 1) : nullptr;
    return item ? item->data(kMarkRole).value<QColor>() : QColor();
}

QWidget* newWellStatusLegend(QWidget* parent) {
    auto* legend = new QWidget(parent);
    legend->setObjectName(QStringLiteral("fraWellLegend"));
    auto* row = new QHBoxLayout(legend);
    row->setContentsMargins(0, 2, 0, 2);
    for (WellStatus status : {WellStatus::NotSelected, WellStatus::Pending, WellStatus::Read,
                              WellStatus::Saturated, WellStatus::NoReading}) {
        const QColor colour = wellStatusColour(status);
        auto* swatch = new QLabel(legend);
        swatch->setFixedSize(14, 14);
        swatch->setStyleSheet(QStringLiteral("background: %1; border: 1px solid #888")
                                  .arg(colour.isValid() ? colour.name() : QStringLiteral("white")));
        row->addWidget(swatch);
        row->addWidget(new QLabel(wellStatusName(status), legend));
        row->addSpacing(8);
    }
    row->addStretch(1);
    return legend;
}

}  // namespace vantorix
