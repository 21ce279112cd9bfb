#include "results/GuiHeatMapView.h"

#include <QMouseEvent>
#include <QPainter>

namespace vantorix {

GuiHeatMapView::GuiHeatMapView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picHeatMap"));
    setMinimumSize(560, 330);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void GuiHeatMapView::setPicture(HeatMapPicture picture) {
    picture_ = std::move(picture);
    update();
}

void GuiHeatMapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintHeatMap(p, area(), picture_);
}

void GuiHeatMapView::mousePressEvent(QMouseEvent* event) {
    const int well = heatMapLayout(area()).wellAt(event->position());
    if (well >= 0) emit wellClicked(well);
}

}  // namespace vantorix
