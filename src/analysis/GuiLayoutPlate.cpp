#include "analysis/GuiLayoutPlate.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "plate/PlateGeometry.h"
#include "ui/GuiWhiteBackground.h"

namespace vantorix {

GuiLayoutPlate::GuiLayoutPlate(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picLayoutPlate"));
    setMinimumSize(420, 300);
    setWhiteBackground(*this);
}

void GuiLayoutPlate::setPlateLayout(const WellLayout& layout) {
    layout_ = layout;
    update();
}

void GuiLayoutPlate::setHighlight(const LayoutHighlight& highlight) {
    highlight_ = highlight;
    update();
}

QPoint GuiLayoutPlate::wellCentre(int well) const {
    return layoutPlateGeometry(area())
        .cell(well / kPlateColumns, well % kPlateColumns)
        .center()
        .toPoint();
}

QPoint GuiLayoutPlate::rowHeaderCentre(int row) const {
    const LayoutPlateGeometry g = layoutPlateGeometry(area());
    return QPointF(g.plate.left() - g.headerWidth / 2, g.cell(row, 0).center().y()).toPoint();
}

QPoint GuiLayoutPlate::columnHeaderCentre(int column) const {
    const LayoutPlateGeometry g = layoutPlateGeometry(area());
    return QPointF(g.cell(0, column).center().x(), g.plate.top() - g.headerHeight / 2).toPoint();
}

bool GuiLayoutPlate::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int well = layoutPlateGeometry(area()).wellAt(help->pos());
    if (well < 0) {
        QToolTip::hideText();
        return true;
    }
    const WellAssignment& w = layout_.wells[size_t(well)];
    QString text = wellName(well) + QStringLiteral(": ") + roleCaption(w.role);
    if (!w.name.isEmpty()) text += QStringLiteral(" \u201c%1\u201d").arg(w.name);
    if (w.concentration) text += QStringLiteral(", %1").arg(*w.concentration);
    if (w.role == WellRole::Sample && w.dilution != 1)
        text += QStringLiteral(", diluted %1-fold").arg(w.dilution);
    if (w.excluded) text += QStringLiteral("\nLeft out: %1").arg(w.exclusionReason);
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

void GuiLayoutPlate::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintLayoutPlate(p, area(), layout_, highlight_);
}

void GuiLayoutPlate::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const LayoutPlateGeometry g = layoutPlateGeometry(area());
    const QPointF at = event->position();
    if (const int well = g.wellAt(at); well >= 0) {
        drag_ = Drag::Wells;
        block_ = {well / kPlateColumns, well % kPlateColumns, well / kPlateColumns,
                  well % kPlateColumns};
    } else if (const int row = g.rowHeaderAt(at); row >= 0) {
        drag_ = Drag::Rows;
        block_ = {row, 0, row, kPlateColumns - 1};
    } else if (const int column = g.columnHeaderAt(at); column >= 0) {
        drag_ = Drag::Columns;
        block_ = {0, column, kPlateRows - 1, column};
    } else if (at.x() < g.plate.left() && at.y() < g.plate.top()) {
        // The corner above the row letters takes the whole plate.
        emit blockChosen({0, 0, kPlateRows - 1, kPlateColumns - 1});
        return;
    } else {
        return;
    }
    setHighlight({block_.top(), block_.left(), block_.bottom(), block_.right()});
}

void GuiLayoutPlate::extendTo(QPointF point) {
    const LayoutPlateGeometry g = layoutPlateGeometry(area());
    const auto clampRow = [&](double y) {
        return std::clamp(int(std::floor((y - g.plate.top()) / g.cellHeight)), 0, kPlateRows - 1);
    };
    const auto clampColumn = [&](double x) {
        return std::clamp(int(std::floor((x - g.plate.left()) / g.cellWidth)), 0,
                          kPlateColumns - 1);
    };
    if (drag_ == Drag::Wells) {
        block_.row1 = clampRow(point.y());
        block_.column1 = clampColumn(point.x());
    } else if (drag_ == Drag::Rows) {
        block_.row1 = clampRow(point.y());
    } else if (drag_ == Drag::Columns) {
        block_.column1 = clampColumn(point.x());
    }
    setHighlight({block_.top(), block_.left(), block_.bottom(), block_.right()});
}

void GuiLayoutPlate::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ != Drag::None) extendTo(event->position());
}

void GuiLayoutPlate::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ == Drag::None || event->button() != Qt::LeftButton) return;
    extendTo(event->position());
    drag_ = Drag::None;
    emit blockChosen(block_);
}

}  // namespace vantorix
