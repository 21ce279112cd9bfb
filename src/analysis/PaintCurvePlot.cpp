#include "analysis/PaintCurvePlot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "analysis/PaintFont.h"

namespace vantorix {

namespace {

const QColor kInk(40, 40, 40);
const QColor kGrid(225, 225, 225);
const QColor kStandardColour(0, 114, 178);  // blue
const QColor kCurveColour(40, 40, 40);
const QColor kSampleColour(213, 94, 0);  // vermilion
const QColor kLeftOutColour(150, 150, 150);
constexpr int kCurveSamples = 200;

bool logX(CurveModel m) {
    return m != CurveModel::Linear;
}
bool logY(CurveModel m) {
    return m == CurveModel::LogLog;
}

struct Marks {
    std::vector<QPointF> standards, leftOut;
};

// Standards that entered the fit, and those left out (drawn at their reading).
Marks marksOf(const DatasetAnalysis& a) {
    Marks m;
    for (const WellResult& w : a.wells) {
        if (w.role == WellRole::Standard && w.nominal && w.corrected)
            (w.used && !w.flags.contains(QLatin1String(kFlagNotPositive)) ? m.standards : m.leftOut)
                .push_back({*w.nominal, *w.corrected});
        else if (w.role == WellRole::Standard && w.nominal && w.value)
            m.leftOut.push_back({*w.nominal, *w.value});
    }
    return m;
}

void paintMarker(QPainter& p, QPointF at, int shape, double r) {
    if (shape == 0) {
        p.drawEllipse(at, r, r);
    } else if (shape == 1) {
        p.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
        p.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
    } else {
        QPolygonF diamond;
        diamond << at + QPointF(0, -r * 1.3) << at + QPointF(r * 1.3, 0) << at + QPointF(0, r * 1.3)
                << at + QPointF(-r * 1.3, 0);
        p.drawPolygon(diamond);
    }
}

}  // namespace

double CurvePlotAxis::position(double v) const {
    if (log) return (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
    return (v - lo) / (hi - lo);
}

CurvePlotAxis curvePlotAxis(double lo, double hi, bool log) {
    CurvePlotAxis axis;
    axis.log = log;
    if (log) {
        lo = lo > 0 ? lo : 1;
        hi = hi > lo ? hi : lo * 10;
        const int first = int(std::floor(std::log10(lo) + 1e-9));
        int last = int(std::ceil(std::log10(hi) - 1e-9));
        if (last <= first) last = first + 1;
        for (int e = first; e <= last; ++e) axis.ticks.push_back(std::pow(10.0, e));
        axis.lo = axis.ticks.front();
        axis.hi = axis.ticks.back();
        return axis;
    }
    if (!(hi > lo)) hi = lo + 1;
    const double rough = (hi - lo) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double m : {1.0, 2.0, 5.0})
        if (power * m >= rough) {
            step = power * m;
            break;
        }
    axis.lo = std::floor(lo / step + 1e-9) * step;
    axis.hi = std::ceil(hi / step - 1e-9) * step;
    for (double t = axis.lo; t <= axis.hi + step / 2; t += step)
        axis.ticks.push_back(std::abs(t) < step * 1e-9 ? 0 : t);
    return axis;
}

QString tickText(double value) {
    const double a = std::abs(value);
    if (a >= 1e6 && a < 1e9) return QString::number(value / 1e6, 'g', 3) + u'M';
    if (a >= 1e3 && a < 1e6) return QString::number(value / 1e3, 'g', 3) + u'k';
    return QString::number(value, 'g', 3);
}

void paintCurvePlot(QPainter& p, const QRectF& area, const DatasetAnalysis& a, CurveModel model,
                    const QString& unit) {
    const Marks marks = marksOf(a);
    const double font = std::clamp(area.height() / 26, 9.0, 14.0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(pixelFont(font));
    const QFontMetricsF fm(p.font());
    const QRectF plot = area.adjusted(fm.horizontalAdvance(QStringLiteral("0000k")) + font * 2.2,
                                      font * 2.2, -font, -(font * 4.2));
    const QString xTitle = QStringLiteral("Concentration (%1)")
                               .arg(unit.isEmpty() ? QStringLiteral("layout units") : unit);
    const QString yTitle = QStringLiteral("Signal less blank (RLU)");
    // Axis ranges over the standards (and the samples placed on the curve).
    std::vector<double> xs, ys;
    for (const auto& list : {marks.standards, marks.leftOut})
        for (QPointF pt : list) {
            if (!logX(model) || pt.x() > 0) xs.push_back(pt.x());
            if (!logY(model) || pt.y() > 0) ys.push_back(pt.y());
        }
    // Samples are placed where the curve gives their signal (the concentration before
    // dilution); those outside the quantifiable range are drawn hollow.
    std::vector<QPointF> samples, outside;
    for (const WellResult& w : a.wells)
        if (w.role == WellRole::Sample && w.used && w.corrected && a.curve && a.curve->ok) {
            const auto x = curveInverse(*a.curve, *w.corrected);
            if (x && *x > 0 && (!logY(model) || *w.corrected > 0))
                (w.concentration ? samples : outside).push_back({*x, *w.corrected});
        }
    p.setPen(kInk);
    p.setFont(pixelFont(font * 1.1, true));
    p.drawText(QRectF(area.left(), area.top(), area.width(), font * 1.8), Qt::AlignCenter,
               QStringLiteral("Standard curve, set %1").arg(a.set));
    p.setFont(pixelFont(font));
    if (xs.empty() || ys.empty()) {
        p.setPen(QPen(kGrid, 1));
        p.drawRect(plot);
        p.setPen(kInk);
        p.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap,
                   a.hasStandards ? QStringLiteral("No standard holds a usable reading.")
                                  : QStringLiteral("The layout names no standards."));
        p.restore();
        return;
    }
    for (const auto& list : {samples, outside})
        for (QPointF s : list) {
            xs.push_back(s.x());
            ys.push_back(s.y());
        }
    const auto [xlo, xhi] = std::minmax_element(xs.begin(), xs.end());
    const auto [ylo, yhi] = std::minmax_element(ys.begin(), ys.end());
    const CurvePlotAxis ax = curvePlotAxis(*xlo, *xhi, logX(model));
    const CurvePlotAxis ay =
        curvePlotAxis(logY(model) ? *ylo : std::min(0.0, *ylo), *yhi, logY(model));
    const auto toScreen = [&](double x, double y) {
        return QPointF(plot.left() + ax.position(x) * plot.width(),
                       plot.bottom() - ay.position(y) * plot.height());
    };
    // Grid, ticks and their labels.
    for (double t : ax.ticks) {
        const double x = toScreen(t, ay.lo).x();
        p.setPen(QPen(kGrid, 1));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(kInk);
        p.drawText(QRectF(x - 40, plot.bottom() + 3, 80, font * 1.4),
                   Qt::AlignHCenter | Qt::AlignTop, tickText(t));
    }
    for (double t : ay.ticks) {
        const double y = toScreen(ax.lo, t).y();
        p.setPen(QPen(kGrid, 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(kInk);
        p.drawText(QRectF(area.left() + font * 1.6, y - font, plot.left() - area.left() - font * 2,
                          font * 2),
                   Qt::AlignRight | Qt::AlignVCenter, tickText(t));
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.drawText(QRectF(plot.left(), plot.bottom() + font * 1.5, plot.width(), font * 1.5),
               Qt::AlignCenter, xTitle);
    p.save();
    p.translate(area.left(), plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), font * 1.5), Qt::AlignCenter, yTitle);
    p.restore();

    p.setClipRect(plot.adjusted(-6, -6, 6, 6));
    if (a.curve && a.curve->ok) {
        QPainterPath path;
        bool started = false;
        for (const CurvePoint& c : curvePoints(*a.curve, ax.lo, ax.hi, kCurveSamples, ax.log)) {
            if (ay.log && c.y <= 0) continue;
            const QPointF s = toScreen(c.x, std::clamp(c.y, ay.lo, ay.hi));
            started ? path.lineTo(s) : path.moveTo(s);
            started = true;
        }
        p.setPen(QPen(kCurveColour, 1.6));
        p.drawPath(path);
    }
    const double r = font * 0.35;
    p.setPen(QPen(kStandardColour, 1.4));
    p.setBrush(QColor(kStandardColour.red(), kStandardColour.green(), kStandardColour.blue(), 90));
    for (QPointF s : marks.standards) paintMarker(p, toScreen(s.x(), s.y()), 0, r);
    p.setPen(QPen(kLeftOutColour, 1.4));
    for (QPointF s : marks.leftOut)
        if (!ay.log || s.y() > 0) paintMarker(p, toScreen(s.x(), s.y()), 1, r);
    p.setPen(QPen(kSampleColour, 1.4));
    p.setBrush(QColor(kSampleColour.red(), kSampleColour.green(), kSampleColour.blue(), 110));
    for (QPointF s : samples) paintMarker(p, toScreen(s.x(), s.y()), 2, r);
    p.setBrush(Qt::white);
    for (QPointF s : outside) paintMarker(p, toScreen(s.x(), s.y()), 2, r);
    p.setClipping(false);

    // Legend below the x axis title, in a smaller font when it would run past the plot.
    struct Item {
        QColor colour;
        int shape;  // -1: a line
        QString caption;
        bool hollow;
    };
    std::vector<Item> items{{kStandardColour, 0, QStringLiteral("Standard wells"), false}};
    if (!marks.leftOut.empty())
        items.push_back({kLeftOutColour, 1, QStringLiteral("Left out"), false});
    if (a.curve && a.curve->ok)
        items.push_back(
            {kCurveColour, -1, QStringLiteral("Fit: %1").arg(curveModelKey(model)), false});
    if (!samples.empty())
        items.push_back({kSampleColour, 2, QStringLiteral("Samples, undiluted"), false});
    if (!outside.empty())
        items.push_back({kSampleColour, 2, QStringLiteral("outside LLOQ-ULOQ"), true});
    double legendFont = font;
    double width = 0;
    for (const Item& item : items) width += font * 3.2 + fm.horizontalAdvance(item.caption);
    if (width > area.right() - plot.left())
        legendFont = font * (area.right() - plot.left()) / width;
    p.setFont(pixelFont(legendFont));
    const QFontMetricsF lfm(p.font());
    double x = plot.left();
    const double y = plot.bottom() + font * 3.5;
    for (const Item& item : items) {
        p.setPen(QPen(item.colour, item.shape < 0 ? 1.6 : 1.4));
        p.setBrush(item.hollow
                       ? QColor(Qt::white)
                       : QColor(item.colour.red(), item.colour.green(), item.colour.blue(), 100));
        if (item.shape < 0)
            p.drawLine(QPointF(x, y), QPointF(x + legendFont * 1.6, y));
        else
            paintMarker(p, QPointF(x + legendFont * 0.8, y), item.shape, r);
        p.setPen(kInk);
        const double w = lfm.horizontalAdvance(item.caption);
        p.drawText(QRectF(x + legendFont * 2, y - font, w + 2, font * 2),
                   Qt::AlignLeft | Qt::AlignVCenter, item.caption);
        x += legendFont * 3.2 + w;
    }
    p.restore();
}

}  // namespace vantorix
