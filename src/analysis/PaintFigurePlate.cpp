#include "analysis/PaintFigurePlate.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <cmath>

#include "analysis/PaintFont.h"
#include "analysis/PaintLayoutPlate.h"

namespace vantorix {

namespace {

const QColor kInk(40, 40, 40);
const QColor kGridLine(150, 150, 150);

QString figureText(double v) {
    return QString::number(v, 'g', 4);
}

}  // namespace

QColor figureColour(double t) {
    t = std::clamp(t, 0.0, 1.0);
    const QColor stops[] = {{45, 55, 140}, {35, 150, 140}, {250, 230, 90}};
    const int i = t < 0.5 ? 0 : 1;
    const double f = t < 0.5 ? t * 2 : (t - 0.5) * 2;
    const auto mix = [f](int a, int b) { return int(std::lround(a + (b - a) * f)); };
    return {mix(stops[i].red(), stops[i + 1].red()), mix(stops[i].green(), stops[i + 1].green()),
            mix(stops[i].blue(), stops[i + 1].blue())};
}

void paintFigurePlate(QPainter& p, const QRectF& area, const FigurePlate& plate) {
    const LayoutPlateGeometry g = layoutPlateGeometry(area);
    double lo = 0, hi = 0;
    bool any = false;
    for (const auto& v : plate.values)
        if (v) {
            lo = any ? std::min(lo, *v) : *v;
            hi = any ? std::max(hi, *v) : *v;
            any = true;
        }
    p.save();
    paintPlateHeaders(p, area, g);
    p.setFont(pixelFont(std::min(g.cellHeight * 0.38, g.cellWidth * 0.26)));
    for (int w = 0; w < kWellCount; ++w) {
        const QRectF box = g.cell(w / kPlateColumns, w % kPlateColumns);
        const auto& v = plate.values[size_t(w)];
        const QColor fill = v ? figureColour(hi > lo ? (*v - lo) / (hi - lo) : 0.5) : Qt::white;
        p.setPen(QPen(kGridLine, 1));
        p.setBrush(fill);
        p.drawRect(box);
        if (!v) continue;
        p.setPen(fill.lightnessF() > 0.55 ? Qt::black : Qt::white);
        // A slope of a flat well comes out as rounding noise (1e-30): it is 0 on this scale.
        const double shown = std::abs(*v) < 1e-9 * std::max(std::abs(lo), std::abs(hi)) ? 0 : *v;
        p.drawText(box, Qt::AlignCenter, figureText(shown));
    }
    // The colour bar: lowest figure, the ramp, highest figure, and what the figure is.
    const QRectF bar = g.legend;
    p.setFont(pixelFont(std::min(bar.height() * 0.6, 13.0)));
    const QFontMetricsF fm(p.font());
    const QString loText = any ? figureText(lo) : QStringLiteral("-");
    const QString hiText = any ? figureText(hi) : QStringLiteral("-");
    const double loWidth = fm.horizontalAdvance(loText) + 6;
    const QRectF ramp(bar.left() + loWidth, bar.top() + bar.height() * 0.2, bar.width() * 0.35,
                      bar.height() * 0.6);
    QLinearGradient gradient(ramp.topLeft(), ramp.topRight());
    for (double t : {0.0, 0.5, 1.0}) gradient.setColorAt(t, figureColour(t));
    p.setPen(QPen(kGridLine, 1));
    p.setBrush(gradient);
    p.drawRect(ramp);
    p.setPen(kInk);
    p.drawText(QRectF(bar.left(), bar.top(), loWidth, bar.height()), Qt::AlignVCenter, loText);
    p.drawText(QRectF(ramp.right() + 6, bar.top(), bar.width(), bar.height()), Qt::AlignVCenter,
               hiText + QStringLiteral("   ") + plate.caption);
    p.restore();
}

}  // namespace vantorix
