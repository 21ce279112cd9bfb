// The layout's plate picture as a widget that wells are chosen on, as in the options dialog:
// a click takes one well, a drag a block of wells, a row letter or column number (or a drag over
// several) whole rows or columns, the corner the whole plate. Each finished choice is reported.
#pragma once

#include <QWidget>

#include "analysis/LayoutEditing.h"
#include "analysis/PaintLayoutPlate.h"

namespace vantorix {

class GuiLayoutPlate : public QWidget {
    Q_OBJECT
  public:
    explicit GuiLayoutPlate(QWidget* parent = nullptr);
    void setPlateLayout(const WellLayout& layout);
    const WellLayout& plateLayout() const { return layout_; }
    // The block framed on the picture; none when rows are -1.
    void setHighlight(const LayoutHighlight& highlight);
    // Where the centre of a well is, for a pointer (and for tests that drag over wells).
    QPoint wellCentre(int well) const;
    QPoint rowHeaderCentre(int row) const;
    QPoint columnHeaderCentre(int column) const;
    QSize sizeHint() const override { return {620, 420}; }

  signals:
    void blockChosen(const WellBlock& block);

  protected:
    bool event(QEvent* event) override;  // a well's tooltip says all the layout holds for it
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    enum class Drag { None, Wells, Rows, Columns };
    QRectF area() const { return QRectF(rect()).adjusted(4, 4, -4, -4); }
    void extendTo(QPointF point);

    WellLayout layout_;
    LayoutHighlight highlight_;
    Drag drag_ = Drag::None;
    WellBlock block_;
};

}  // namespace vantorix
