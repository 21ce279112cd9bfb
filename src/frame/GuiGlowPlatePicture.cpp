#include "frame/GuiGlowPlatePicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "kernel/RunOptions.h"

namespace vantorix {

namespace {

constexpr double kPitch = 12.0;
constexpr double kWellRadius = 4.2;
const QPointF kPlateOrigin(186.0, 82.0);  // centre of well A1

// A fixed pattern of brightness (0 = dark), so the picture is the same on every showing.
double glowOf(int row, int column) {
    const double wave = std::sin(row * 0.9 + column * 0.55) + std::cos(column * 0.8 - row * 0.4);
    return wave > 0.6 ? std::min(1.0, (wave - 0.6) / 1.2) : 0.0;
}

void paintBackground(QPainter& p, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0.0, QColor(10, 14, 40));
    sky.setColorAt(0.6, QColor(22, 30, 72));
    sky.setColorAt(1.0, QColor(8, 36, 52));
    p.fillRect(area, sky);
}

QRectF plateRect() {
    const double margin = 10.0;
    return QRectF(kPlateOrigin.x() - margin, kPlateOrigin.y() - margin,
                  kPitch * (kPlateColumns - 1) + 2 * margin,
                  kPitch * (kPlateRows - 1) + 2 * margin);
}

void paintPlate(QPainter& p) {
    const QRectF plate = plateRect();
    QPainterPath outline;
    outline.addRoundedRect(plate, 6, 6);
    p.setPen(QPen(QColor(150, 170, 210, 160), 1.2));
    p.setBrush(QColor(30, 38, 70, 220));
    p.drawPath(outline);
    // The cut corner that tells A1 from H12.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 30, 72));
    p.drawPolygon(QPolygonF(
        {plate.topLeft(), plate.topLeft() + QPointF(9, 0), plate.topLeft() + QPointF(0, 9)}));
}

void paintWell(QPainter& p, QPointF centre, double glow) {
    if (glow > 0) {
        const double halo = kWellRadius * (2.0 + 2.5 * glow);
        QRadialGradient light(centre, halo);
        light.setColorAt(0.0, QColor(190, 255, 140, int(200 * glow)));
        light.setColorAt(0.4, QColor(120, 230, 120, int(90 * glow)));
        light.setColorAt(1.0, QColor(60, 200, 120, 0));
        p.setBrush(light);
        p.drawEllipse(centre, halo, halo);
    }
    const QColor base = glow > 0 ? QColor(210, 255, 170) : QColor(12, 16, 34);
    p.setBrush(base);
    p.setPen(QPen(QColor(120, 140, 190, 150), 0.8));
    p.drawEllipse(centre, kWellRadius, kWellRadius);
    p.setPen(Qt::NoPen);
}

}  // namespace

GuiGlowPlatePicture::GuiGlowPlatePicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    setFixedSize(kWidth_px, kHeight_px);
}

void GuiGlowPlatePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p, rect());
    paintPlate(p);
    p.setPen(Qt::NoPen);
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c)
            paintWell(p, kPlateOrigin + QPointF(c * kPitch, r * kPitch), glowOf(r, c));
}

}  // namespace vantorix
