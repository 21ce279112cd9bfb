#include "results/GuiKineticView.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "kernel/Readings.h"
#include "kernel/Text.h"
#include "options/WellSelection.h"
#include "results/PaintPalette.h"

namespace vantorix {

GuiKineticView::GuiKineticView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chtKinetics"));
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignRight);
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    (new QVBoxLayout(this))->addWidget(view_);
    layout()->setContentsMargins(0, 0, 0, 0);
    setMinimumSize(560, 330);
}

void GuiKineticView::show(const Readings& readings, int sets, const std::vector<int>& wells) {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(wells.empty() ? QStringLiteral("Click wells in the grid or heat map to "
                                                    "follow their values over the sets")
                                   : QStringLiteral("Values of the chosen wells over time"));
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("time (s)"));
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("value (reading less dark offset)"));
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    double maxTime = 1, maxValue = 1;
    for (size_t i = 0; i < wells.size(); ++i) {
        const int r = wells[i] / kPlateColumns + 1, c = wells[i] % kPlateColumns + 1;
        auto* series = new QLineSeries;
        series->setName(wellName(r - 1, c - 1));
        series->setPointsVisible(true);
        // Spread the lines over the palette so neighbours differ in lightness.
        series->setColor(heatColour(wells.size() > 1 ? 0.85 * i / (wells.size() - 1) : 0.3));
        for (int set = 1; set <= std::min(sets, kMaxSets); ++set) {
            const Reading& reading = readings.at(set, r, c);
            const double raw = readingValue(reading.Value), time = leadingNumber(reading.Time);
            if (raw < 0 || raw > kSaturationLimit || time < 0) continue;
            const double value = std::max(raw - kDarkOffset, 0.0);
            series->append(time, value);
            maxTime = std::max(maxTime, time);
            maxValue = std::max(maxValue, value);
        }
        chart_->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    x->setRange(0, maxTime * 1.05);
    y->setRange(0, maxValue * 1.1);
    x->applyNiceNumbers();
    y->applyNiceNumbers();
    x->setLabelFormat(QStringLiteral("%.0f"));
    y->setLabelFormat(QStringLiteral("%.0f"));
}

}  // namespace vantorix
