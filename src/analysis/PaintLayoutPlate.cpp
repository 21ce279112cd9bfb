#include "analysis/PaintLayoutPlate.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "analysis/PaintFont.h"

namespace vantorix {

namespace {

const QColor kInk(40, 40, 40);
const QColor kGridLine(150, 150, 150);
const QColor kHighlight(0, 90, 200);
constexpr WellRole kLegendRoles[] = {WellRole::Blank,    WellRole::Standard, WellRole::Positive,
                                     WellRole::Negative, WellRole::Sample,   WellRole::Empty};

// Text centred in box, in a font shrunk until it fits the box's width.
void drawFitted(QPainter& p, const QRectF& box, const QString& text, double pixels) {
    QFont font = pixelFont(pixels);
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    // Rounded down, so that the shrunk text does fit.
    if (width > box.width() * 0.9 && width > 0)
        font = pixelFont(std::max(6.0, std::floor(pixels * box.width() * 0.9 / width)));
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter,
               QFontMetricsF(font).elidedText(text, Qt::ElideRight, box.width() * 0.95));
}

void paintWell(QPainter& p, const QRectF& box, const WellAssignment& w, double fontPixels) {
    p.setPen(QPen(kGridLine, 1));
    p.setBrush(roleColour(w.role));
    p.drawRect(box);
    p.setPen(kInk);
    drawFitted(p, box.adjusted(2, 1, -2, -1), layoutWellText(w), fontPixels);
    if (!w.excluded) return;
    // A left-out well keeps its role but is crossed out, as a struck line in a lab notebook.
    p.setPen(QPen(QColor(200, 0, 0), std::max(1.5, box.height() / 14)));
    const QRectF x = box.adjusted(3, 3, -3, -3);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
}

// The legend's width at a font of `fontPixels`.
double legendWidth(double fontPixels) {
    const QFontMetricsF fm(pixelFont(fontPixels));
    double width = 0;
    for (WellRole role : kLegendRoles)
        width += fontPixels * 3.4 + 4 + fm.horizontalAdvance(roleCaption(role));
    return width + fontPixels * 3.4 + 4 + fm.horizontalAdvance(QStringLiteral("Left out"));
}

void paintLegend(QPainter& p, const QRectF& area, double fontPixels) {
    // A narrow picture gets a smaller legend rather than one cut off at its right.
    const double fits = legendWidth(fontPixels);
    if (fits > area.width()) fontPixels = std::max(6.0, fontPixels * area.width() / fits);
    p.setFont(pixelFont(fontPixels));
    const QFontMetricsF fm(p.font());
    double x = area.left();
    const double swatch = fontPixels * 1.2;
    const double y = area.center().y();
    auto item = [&](const QColor& fill, const QString& caption, bool cross) {
        const QRectF box(x, y - swatch / 2, swatch, swatch);
        p.setPen(QPen(kGridLine, 1));
        p.setBrush(fill);
        p.drawRect(box);
        if (cross) {
            p.setPen(QPen(QColor(200, 0, 0), 1.5));
            p.drawLine(box.topLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomLeft());
        }
        p.setPen(kInk);
        const double w = fm.horizontalAdvance(caption);
        p.drawText(QRectF(x + swatch + 4, area.top(), w + 2, area.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, caption);
        x += swatch + 4 + w + fontPixels * 2.2;
    };
    for (WellRole role : kLegendRoles) item(roleColour(role), roleCaption(role), false);
    item(Qt::white, QStringLiteral("Left out"), true);
}

}  // namespace

QColor roleColour(WellRole role) {
    // Light tints of a palette the common forms of colour blindness tell apart, so the black
    // text stays readable on every role.
    switch (role) {
        case WellRole::Blank:
            return {205, 205, 205};
        case WellRole::Standard:
            return {150, 205, 240};
        case WellRole::Positive:
            return {245, 200, 120};
        case WellRole::Negative:
            return {130, 210, 180};
        case WellRole::Sample:
            return {230, 185, 215};
        case WellRole::Empty:
            break;
    }
    return Qt::white;
}

QString roleCaption(WellRole role) {
    switch (role) {
        case WellRole::Blank:
            return QStringLiteral("Blank");
        case WellRole::Standard:
            return QStringLiteral("Standard");
        case WellRole::Positive:
            return QStringLiteral("Positive control");
        case WellRole::Negative:
            return QStringLiteral("Negative control");
        case WellRole::Sample:
            return QStringLiteral("Sample");
        case WellRole::Empty:
            break;
    }
    return QStringLiteral("Empty");
}

QString layoutWellText(const WellAssignment& w) {
    switch (w.role) {
        case WellRole::Standard:
            return w.concentration ? QString::number(*w.concentration, 'g', 5) : w.name;
        case WellRole::Sample:
            return w.name.isEmpty() ? QStringLiteral("S?") : w.name;
        case WellRole::Blank:
            return w.name.isEmpty() ? QStringLiteral("B") : w.name;
        case WellRole::Positive:
            return w.name.isEmpty() ? QStringLiteral("+") : w.name;
        case WellRole::Negative:
            return w.name.isEmpty() ? QStringLiteral("\u2212") : w.name;
        case WellRole::Empty:
            break;
    }
    return {};
}

QRectF LayoutPlateGeometry::cell(int row, int column) const {
    return {plate.left() + column * cellWidth, plate.top() + row * cellHeight, cellWidth,
            cellHeight};
}

int LayoutPlateGeometry::wellAt(QPointF point) const {
    if (!plate.contains(point)) return -1;
    const int c = std::min(int((point.x() - plate.left()) / cellWidth), kPlateColumns - 1);
    const int r = std::min(int((point.y() - plate.top()) / cellHeight), kPlateRows - 1);
    return WellIndex(r, c);
}

int LayoutPlateGeometry::rowHeaderAt(QPointF point) const {
    if (point.x() < plate.left() - headerWidth || point.x() >= plate.left()) return -1;
    if (point.y() < plate.top() || point.y() >= plate.bottom()) return -1;
    return std::min(int((point.y() - plate.top()) / cellHeight), kPlateRows - 1);
}

int LayoutPlateGeometry::columnHeaderAt(QPointF point) const {
    if (point.y() < plate.top() - headerHeight || point.y() >= plate.top()) return -1;
    if (point.x() < plate.left() || point.x() >= plate.right()) return -1;
    return std::min(int((point.x() - plate.left()) / cellWidth), kPlateColumns - 1);
}

LayoutPlateGeometry layoutPlateGeometry(const QRectF& area) {
    LayoutPlateGeometry g;
    const double legendHeight = std::clamp(area.height() * 0.08, 14.0, 28.0);
    const double header = std::clamp(area.height() * 0.07, 14.0, 26.0);
    const double width = area.width() - header;
    const double height = area.height() - header - legendHeight - 4;
    // Cells stay wider than high, as on a plate map, whatever the area's shape.
    g.cellWidth = std::min(width / kPlateColumns, height / kPlateRows / 0.6);
    g.cellHeight = std::min(height / kPlateRows, g.cellWidth * 0.85);
    const double cell = g.cellWidth;
    g.headerWidth = header;
    g.headerHeight = header;
    g.plate = QRectF(area.left() + header, area.top() + header, cell * kPlateColumns,
                     g.cellHeight * kPlateRows);
    g.legend = QRectF(area.left(), g.plate.bottom() + 4, area.width(), legendHeight);
    return g;
}

void paintPlateHeaders(QPainter& p, const QRectF& area, const LayoutPlateGeometry& g) {
    p.setPen(kInk);
    p.setFont(pixelFont(g.headerHeight * 0.6, true));
    for (int c = 0; c < kPlateColumns; ++c)
        p.drawText(QRectF(g.cell(0, c).left(), area.top(), g.cellWidth, g.headerHeight),
                   Qt::AlignCenter, QString::number(c + 1));
    for (int r = 0; r < kPlateRows; ++r)
        p.drawText(QRectF(area.left(), g.cell(r, 0).top(), g.headerWidth, g.cellHeight),
                   Qt::AlignCenter, QString(QChar(u'A' + r)));
}

void paintLayoutPlate(QPainter& p, const QRectF& area, const WellLayout& layout,
                      const LayoutHighlight& highlight) {
    const LayoutPlateGeometry g = layoutPlateGeometry(area);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    paintPlateHeaders(p, area, g);
    const double fontPixels = std::min(g.cellHeight * 0.42, g.cellWidth * 0.3);
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c)
            paintWell(p, g.cell(r, c), layout.wells[size_t(WellIndex(r, c))], fontPixels);
    if (highlight.top >= 0) {
        p.setPen(QPen(kHighlight, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(g.cell(highlight.top, highlight.left).topLeft(),
                          g.cell(highlight.bottom, highlight.right).bottomRight()));
    }
    paintLegend(p, g.legend, std::min(g.legend.height() * 0.6, 13.0));
    p.restore();
}

}  // namespace vantorix
