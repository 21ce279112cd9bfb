#include "analysis/GuiFigurePlate.h"

#include <QPainter>

#include "ui/GuiWhiteBackground.h"

namespace vantorix {

GuiFigurePlate::GuiFigurePlate(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picFigurePlate"));
    setWhiteBackground(*this);
}

void GuiFigurePlate::setPlate(const FigurePlate& plate) {
    plate_ = plate;
    update();
}

void GuiFigurePlate::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintFigurePlate(p, QRectF(rect()).adjusted(4, 4, -4, -4), plate_);
}

}  // namespace vantorix
