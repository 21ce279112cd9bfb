// Kinetics: the values of the chosen wells over the sets of a document, each point at the
// well's own time, one line per well with a legend.
#pragma once

#include <QWidget>
#include <vector>

class QChart;
class QChartView;

namespace vantorix {

class Readings;

class GuiKineticView : public QWidget {
    Q_OBJECT
  public:
    explicit GuiKineticView(QWidget* parent = nullptr);
    // wells: numbers 0-95 in the order they were chosen.
    void show(const Readings& readings, int sets, const std::vector<int>& wells);
    QChart* chart() const { return chart_; }

  private:
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
};

}  // namespace vantorix
