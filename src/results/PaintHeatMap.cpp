#include "results/PaintHeatMap.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

#include "analysis/PaintFont.h"
#include "kernel/Text.h"
#include "plate/PlateDocument.h"
#include "results/PaintPalette.h"
#include "results/SetStatistics.h"

namespace vantorix {

namespace {

const QColor kInk(40, 40, 40);
const QColor kPendingFill(226, 226, 226);
const QColor kEmptyBorder(200, 200, 200);

double shownValue(double raw) {
    return std::max(raw - kDarkOffset, 0.0);
}

QString wellText(WellStatus status, double raw) {
    switch (status) {
        case WellStatus::Read:
            // Large values lose their tenth so that every well keeps a legible size.
            return raw - kDarkOffset >= 1000 ? QString::number(std::llround(raw - kDarkOffset))
                                             : plainReadingText(raw);
        case WellStatus::Saturated:
            return QStringLiteral("sat");
        case WellStatus::Pending:
            return QStringLiteral("\u2026");
        case WellStatus::NoReading:
            return QStringLiteral("X");
        case WellStatus::NotSelected:
            break;
    }
    return {};
}

// "1", "10", ... "100k", "1M": the colour bar's decade marks.
QString decadeText(double value) {
    if (value >= 1e6) return QString::number(value / 1e6) + u'M';
    if (value >= 1e3) return QString::number(value / 1e3) + u'k';
    return QString::number(value);
}

// Draws text centred in box, in a font shrunk until it fits the box's width.
void drawFitted(QPainter& p, const QRectF& box, const QString& text, double pixels, bool bold) {
    QFont font = pixelFont(pixels, bold);
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > box.width() * 0.92 && width > 0)
        font = pixelFont(std::max(6.0, pixels * box.width() * 0.92 / width), bold);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

double HeatScale::position(double shown) const {
    if (!(shown > lo)) return 0;
    if (shown >= hi) return 1;
    return std::log10(shown / lo) / std::log10(hi / lo);
}

HeatScale HeatScale::forSets(const PlateDocument& readings, int firstSet, int lastSet) {
    double smallest = 0, largest = 0;
    bool any = false;
    for (int set = std::max(firstSet, 1); set <= std::min(lastSet, kMaxSets); ++set)
        for (int r = 1; r <= kPlateRows; ++r)
            for (int c = 1; c <= kPlateColumns; ++c) {
                const double raw = readings.reading(set, r, c).raw.value_or(-1);
                if (raw < 0 || raw > kSaturationLimit) continue;
                const double v = std::max(shownValue(raw), 1.0);
                smallest = any ? std::min(smallest, v) : v;
                largest = any ? std::max(largest, v) : v;
                any = true;
            }
    HeatScale scale;
    if (!any) return scale;
    scale.lo = std::pow(10.0, std::floor(std::log10(smallest)));
    scale.hi = std::pow(10.0, std::ceil(std::log10(largest)));
    if (scale.hi <= scale.lo) scale.hi = scale.lo * 10;
    return scale;
}

HeatMapPicture heatMapPicture(const PlateDocument& readings, int set, const WellMatrix& selected,
                              bool setComplete, const HeatScale& scale, const QString& title) {
    HeatMapPicture picture;
    picture.scale = scale;
    picture.title = title;
    const auto statuses = setStatuses(readings, set, selected, setComplete);
    for (int w = 0; w < kWellCount; ++w) {
        const double raw =
            readings.reading(set, 1 + w / kPlateColumns, 1 + w % kPlateColumns).raw.value_or(-1);
        picture.wells[w] = {statuses[w], shownValue(raw), wellText(statuses[w], raw), QColor()};
    }
    return picture;
}

QRectF HeatMapLayout::cell(int row, int column) const {
    return {plate.left() + headerWidth + column * cellWidth,
            plate.top() + headerHeight + row * cellHeight, cellWidth, cellHeight};
}

int HeatMapLayout::wellAt(QPointF point) const {
    const double x = point.x() - plate.left() - headerWidth;
    const double y = point.y() - plate.top() - headerHeight;
    if (x < 0 || y < 0 || cellWidth <= 0 || cellHeight <= 0) return -1;
    const int column = int(x / cellWidth), row = int(y / cellHeight);
    return row < kPlateRows && column < kPlateColumns ? row * kPlateColumns + column : -1;
}

HeatMapLayout heatMapLayout(const QRectF& area) {
    HeatMapLayout l;
    const double unit = std::clamp(area.height() / 22.0, 8.0, 28.0);  // one text line
    l.title = QRectF(area.left(), area.top(), area.width(), unit * 1.6);
    l.legend = QRectF(area.left(), area.bottom() - unit * 1.8, area.width(), unit * 1.8);
    const double barWidth = unit * 4.2;
    // Room above the bar for its unit, in up to three lines.
    l.colourBar = QRectF(area.right() - barWidth, l.title.bottom() + unit * 3.0, barWidth,
                         l.legend.top() - l.title.bottom() - unit * 3.4);
    l.plate = QRectF(area.left(), l.title.bottom(), area.width() - barWidth - unit * 0.6,
                     l.legend.top() - l.title.bottom() - unit * 0.4);
    l.headerWidth = unit * 1.6;
    l.headerHeight = unit * 1.2;
    l.cellWidth = std::max(0.0, (l.plate.width() - l.headerWidth) / kPlateColumns);
    l.cellHeight = std::max(0.0, (l.plate.height() - l.headerHeight) / kPlateRows);
    return l;
}

namespace {

void paintWell(QPainter& p, const QRectF& box, const HeatWell& well, const HeatScale& scale,
               double textPixels) {
    const QRectF inner = box.adjusted(1.5, 1.5, -1.5, -1.5);
    const double radius = std::min(inner.width(), inner.height()) * 0.18;
    QColor fill = Qt::white;
    QPen border(kEmptyBorder, 1);
    switch (well.status) {
        case WellStatus::Read:
            fill = heatColour(scale.position(well.shown));
            break;
        case WellStatus::Saturated:
            fill = heatColour(1);
            break;
        case WellStatus::Pending:
            fill = kPendingFill;
            border = QPen(kInk, 1.2, Qt::DashLine);
            break;
        case WellStatus::NoReading:
            border = QPen(kInk, 1.5);
            break;
        case WellStatus::NotSelected:
            break;
    }
    p.setPen(well.status == WellStatus::Read ? Qt::NoPen : border);
    p.setBrush(fill);
    p.drawRoundedRect(inner, radius, radius);
    if (well.status == WellStatus::Saturated) {
        // Hatched, so that it stands apart from the brightest reading without relying on hue.
        p.setBrush(QBrush(QColor(0, 0, 0, 110), Qt::BDiagPattern));
        p.setPen(QPen(kInk, 1.5));
        p.drawRoundedRect(inner, radius, radius);
    }
    if (well.mark.isValid()) {
        p.setPen(QPen(well.mark, std::max(2.5, inner.height() * 0.08)));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
    if (well.text.isEmpty()) return;
    p.setPen(well.status == WellStatus::Read || well.status == WellStatus::Saturated
                 ? textColourOn(fill)
                 : kInk);
    if (well.status == WellStatus::Saturated) {
        // The label sits on a plain patch so the hatching never crosses the letters.
        const QRectF patch = inner.adjusted(inner.width() * 0.18, inner.height() * 0.25,
                                            -inner.width() * 0.18, -inner.height() * 0.25);
        p.fillRect(patch, fill);
    }
    drawFitted(p, inner, well.text, textPixels, well.status != WellStatus::Read);
}

void paintHeaders(QPainter& p, const HeatMapLayout& l, double pixels) {
    p.setPen(kInk);
    p.setFont(pixelFont(pixels, true));
    for (int c = 0; c < kPlateColumns; ++c) {
        const QRectF box = l.cell(0, c);
        p.drawText(QRectF(box.left(), l.plate.top(), box.width(), l.headerHeight), Qt::AlignCenter,
                   QString::number(c + 1));
    }
    for (int r = 0; r < kPlateRows; ++r) {
        const QRectF box = l.cell(r, 0);
        p.drawText(QRectF(l.plate.left(), box.top(), l.headerWidth, box.height()), Qt::AlignCenter,
                   QString(QChar(u'A' + r)));
    }
}

void paintColourBar(QPainter& p, const QRectF& bar, const HeatScale& scale, double pixels) {
    const QRectF ramp(bar.left(), bar.top(), bar.width() * 0.3, bar.height());
    for (int i = 0; i < 64; ++i) {
        const double y0 = ramp.bottom() - ramp.height() * (i + 1) / 64.0;
        p.fillRect(QRectF(ramp.left(), y0, ramp.width(), ramp.height() / 64.0 + 0.6),
                   heatColour((i + 0.5) / 64.0));
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(ramp);
    p.setFont(pixelFont(pixels));
    const int decades = int(std::lround(std::log10(scale.hi / scale.lo)));
    const int step = decades > 6 ? 2 : 1;
    for (int d = 0; d <= decades; d += step) {
        const double value = scale.lo * std::pow(10.0, d);
        const double y = ramp.bottom() - ramp.height() * scale.position(value * 1.0000001);
        p.drawLine(QPointF(ramp.right(), y), QPointF(ramp.right() + 4, y));
        p.drawText(QRectF(ramp.right() + 6, y - pixels, bar.width(), 2 * pixels),
                   Qt::AlignLeft | Qt::AlignVCenter, decadeText(value));
    }
    p.drawText(
        QRectF(bar.left() - pixels, bar.top() - pixels * 5.2, bar.width() + pixels, pixels * 4.2),
        Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
        QLatin1String(kValueUnit) + QStringLiteral(", log scale"));
}

void paintLegend(QPainter& p, const QRectF& area, const HeatScale& scale, double pixels) {
    struct Item {
        WellStatus status;
        QString text;
    };
    const Item items[] = {{WellStatus::Read, QStringLiteral("720.0")},
                          {WellStatus::Saturated, QStringLiteral("sat")},
                          {WellStatus::Pending, QStringLiteral("\u2026")},
                          {WellStatus::NoReading, QStringLiteral("X")},
                          {WellStatus::NotSelected, QString()}};
    const double slot = area.width() / 5;
    const double swatch = std::min(area.height() * 0.9, pixels * 2.6);
    for (int i = 0; i < 5; ++i) {
        const QRectF box(area.left() + i * slot, area.center().y() - swatch / 2, swatch * 1.5,
                         swatch);
        HeatWell well{items[i].status, std::sqrt(scale.lo * scale.hi), items[i].text, QColor()};
        paintWell(p, box, well, scale, pixels * 0.9);
        p.setPen(kInk);
        p.setFont(pixelFont(pixels));
        p.drawText(QRectF(box.right() + pixels * 0.4, box.top(), slot - box.width(), box.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, wellStatusName(items[i].status));
    }
}

}  // namespace

void paintHeatMap(QPainter& p, const QRectF& area, const HeatMapPicture& picture) {
    const HeatMapLayout l = heatMapLayout(area);
    const double unit = l.title.height() / 1.6;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(kInk);
    p.setFont(pixelFont(unit * 1.05, true));
    p.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter, picture.title);
    paintHeaders(p, l, unit * 0.85);
    // One size for every well: the largest at which the widest value fits.
    double textPixels = std::min(l.cellHeight * 0.34, unit * 0.95);
    double widest = 0;
    const QFontMetricsF metrics(pixelFont(textPixels));
    for (const HeatWell& well : picture.wells)
        widest = std::max(widest, metrics.horizontalAdvance(well.text));
    if (widest > l.cellWidth * 0.84) textPixels *= l.cellWidth * 0.84 / widest;
    for (int w = 0; w < kWellCount; ++w)
        paintWell(p, l.cell(w / kPlateColumns, w % kPlateColumns), picture.wells[w], picture.scale,
                  textPixels);
    paintColourBar(p, l.colourBar, picture.scale, unit * 0.8);
    paintLegend(p, l.legend, picture.scale, unit * 0.72);
    p.restore();
}

QImage heatMapImage(const HeatMapPicture& picture, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    paintHeatMap(p, QRectF(QPointF(8, 8), QSizeF(size) - QSizeF(16, 16)), picture);
    return image;
}

QString writeHeatMapPicture(const HeatMapPicture& picture, const QString& path) {
    constexpr int kWidth = 1200, kHeight = 820;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(kWidth, kHeight));
        svg.setViewBox(QRect(0, 0, kWidth, kHeight));
        svg.setTitle(picture.title);
        QPainter p(&svg);
        p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
        paintHeatMap(p, QRectF(8, 8, kWidth - 16, kHeight - 16), picture);
    } else if (!heatMapImage(picture, QSize(kWidth, kHeight)).save(&buffer, "PNG")) {
        return QStringLiteral("cannot write %1: the picture could not be encoded").arg(path);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

}  // namespace vantorix
