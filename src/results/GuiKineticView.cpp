#include "results/GuiKineticView.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "kernel/Text.h"
#include "options/WellSelection.h"
#include "plate/PlateDocument.h"
#include "results/PaintPalette.h"
#include "results/SetStatistics.h"

namespace vantorix {

namespace {

// From the ninth well on the colours repeat: a dashed line and square markers keep those apart.
QLineSeries* newSeries(int index, const QString& name) {
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(seriesColour(index), 2.5);
    if (index >= 8) pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    series->setPointsVisible(true);
    series->setMarkerSize(9);
    return series;
}

// 1, 2 or 5 times a power of ten: the smallest such step at or above `rough`.
double niceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double f : {1.0, 2.0, 5.0})
        if (rough <= f * power * 1.0000001) return f * power;
    return 10 * power;
}

// A linear axis from 0 in about five steps of a round size (an empty one 0 to 5), so every
// tick is a round number and none repeats.
QValueAxis* linearAxis(double maxValue, const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    const double step = niceStep(std::max(maxValue, 5.0) / 5);
    const int steps = int(std::ceil(std::max(maxValue, 5.0) / step - 1e-9));
    axis->setRange(0, steps * step);
    axis->setTickCount(steps + 1);
    axis->setLabelFormat(step >= 1 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    return axis;
}

QLogValueAxis* logAxis(double minValue, double maxValue, const QString& title) {
    auto* axis = new QLogValueAxis;
    axis->setTitleText(title);
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    const double lo = std::pow(10.0, std::floor(std::log10(std::max(minValue, 1.0))));
    const double hi = std::pow(10.0, std::ceil(std::log10(std::max(maxValue * 1.01, lo * 10))));
    axis->setRange(lo, hi);
    axis->setMinorTickCount(8);
    return axis;
}

}  // namespace

GuiKineticView::GuiKineticView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chtKinetics"));
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignRight);
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    chkLog_ = new QCheckBox(QStringLiteral("&Logarithmic value axis"), this);
    chkLog_->setObjectName(QStringLiteral("chkKineticsLog"));
    chkLog_->setToolTip(QStringLiteral("Show low and high wells alike (wells at 0 drawn at 1)"));
    connect(chkLog_, &QCheckBox::toggled, this, &GuiKineticView::redraw);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(view_, 1);
    column->addWidget(chkLog_);
    setMinimumSize(560, 330);
}

bool GuiKineticView::logScale() const {
    return chkLog_->isChecked();
}

void GuiKineticView::show(const PlateDocument& readings, int sets, const std::vector<int>& wells) {
    readings_ = &readings;
    sets_ = sets;
    wells_ = wells;
    redraw();
}

void GuiKineticView::redraw() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : {x_, y_}) {
        if (!axis) continue;
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(wells_.empty() ? QStringLiteral("Click wells in the grid or heat map to "
                                                     "follow their values over the sets")
                                    : QStringLiteral("Values of the chosen wells over time"));
    const bool log = logScale();
    double maxTime = 0, maxValue = 0, minValue = 0;
    bool any = false;
    std::vector<QLineSeries*> lines;
    for (size_t i = 0; i < wells_.size() && readings_; ++i) {
        const int r = wells_[i] / kPlateColumns + 1, c = wells_[i] % kPlateColumns + 1;
        QLineSeries* series = newSeries(int(i), wellName(r - 1, c - 1));
        for (int set = 1; set <= std::min(sets_, kMaxSets); ++set) {
            const WellReading& reading = readings_->reading(set, r, c);
            const double raw = reading.raw.value_or(-1), time = reading.seconds.value_or(-1);
            if (raw < 0 || raw > kSaturationLimit || time < 0) continue;
            // A logarithmic axis has no 0: a well at the dark level sits on its floor, 1.
            const double value = std::max(raw - kDarkOffset, log ? 1.0 : 0.0);
            series->append(time, value);
            maxTime = std::max(maxTime, time);
            minValue = any ? std::min(minValue, value) : value;
            maxValue = std::max(maxValue, value);
            any = true;
        }
        lines.push_back(series);
    }
    QAbstractAxis* x = linearAxis(maxTime * 1.05, QStringLiteral("Time (s)"));
    const QString unit = QLatin1String(kValueUnit);
    QAbstractAxis* y = log ? static_cast<QAbstractAxis*>(logAxis(minValue, maxValue, unit))
                           : linearAxis(maxValue * 1.1, unit);
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    x_ = x;
    y_ = y;
    for (QLineSeries* series : lines) {
        chart_->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

}  // namespace vantorix
