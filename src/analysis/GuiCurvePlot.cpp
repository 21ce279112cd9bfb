#include "analysis/GuiCurvePlot.h"

#include <QPainter>

#include "analysis/PaintCurvePlot.h"
#include "ui/GuiWhiteBackground.h"

namespace vantorix {

GuiCurvePlot::GuiCurvePlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picCurve"));
    setMinimumSize(360, 240);
    setWhiteBackground(*this);
}

void GuiCurvePlot::setAnalysis(const DatasetAnalysis& analysis, CurveModel model,
                               const QString& unit) {
    analysis_ = analysis;
    model_ = model;
    unit_ = unit;
    update();
}

void GuiCurvePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCurvePlot(p, QRectF(rect()).adjusted(4, 4, -6, -4), analysis_, model_, unit_);
}

}  // namespace vantorix
