// A figure per well on the plate picture, as a widget.
#pragma once

#include <QWidget>

#include "analysis/PaintFigurePlate.h"

namespace vantorix {

class GuiFigurePlate : public QWidget {
    Q_OBJECT
  public:
    explicit GuiFigurePlate(QWidget* parent = nullptr);
    void setPlate(const FigurePlate& plate);
    const FigurePlate& plate() const { return plate_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FigurePlate plate_;
};

}  // namespace vantorix
