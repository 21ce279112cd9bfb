// The standard curve plot as a widget.
#pragma once

#include <QWidget>

#include "analysis/DatasetAnalysis.h"

namespace vantorix {

class GuiCurvePlot : public QWidget {
    Q_OBJECT
  public:
    explicit GuiCurvePlot(QWidget* parent = nullptr);
    void setAnalysis(const DatasetAnalysis& analysis, CurveModel model, const QString& unit);
    QSize sizeHint() const override { return {520, 340}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DatasetAnalysis analysis_;
    CurveModel model_ = CurveModel::FourPL;
    QString unit_;
};

}  // namespace vantorix
