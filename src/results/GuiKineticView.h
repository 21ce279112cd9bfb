// Kinetics: the values of the chosen wells over the sets of a document, each point at the
// well's own time, one line per well in the colour its frame has in the grid and the heat map,
// with a legend; the value axis linear or logarithmic.
#pragma once

#include <QWidget>
#include <vector>

class QChart;
class QChartView;
class QAbstractAxis;
class QCheckBox;

namespace vantorix {

struct PlateDocument;

class GuiKineticView : public QWidget {
    Q_OBJECT
  public:
    explicit GuiKineticView(QWidget* parent = nullptr);
    // wells: numbers 0-95 in the order they were chosen.
    void show(const PlateDocument& readings, int sets, const std::vector<int>& wells);
    QChart* chart() const { return chart_; }
    bool logScale() const;

  private:
    void redraw();

    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QCheckBox* chkLog_ = nullptr;
    QAbstractAxis* x_ = nullptr;
    QAbstractAxis* y_ = nullptr;
    const PlateDocument* readings_ = nullptr;
    int sets_ = 0;
    std::vector<int> wells_;
};

}  // namespace vantorix
