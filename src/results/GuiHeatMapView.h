// The heat map of the shown set as a widget; a click on a well reports its number.
#pragma once

#include <QWidget>

#include "results/PaintHeatMap.h"

namespace vantorix {

class GuiHeatMapView : public QWidget {
    Q_OBJECT
  public:
    explicit GuiHeatMapView(QWidget* parent = nullptr);
    void setPicture(HeatMapPicture picture);
    const HeatMapPicture& picture() const { return picture_; }
    QSize sizeHint() const override { return {760, 520}; }

  signals:
    void wellClicked(int well);  // 0 (A1) .. 95 (H12)

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRectF area() const { return QRectF(rect()).adjusted(6, 4, -6, -4); }
    HeatMapPicture picture_;
};

}  // namespace vantorix
