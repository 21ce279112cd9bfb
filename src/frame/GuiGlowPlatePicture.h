// The About box's picture, drawn rather than loaded: a 96-well plate on a dark bench, some of
// its wells giving off a soft glow, as they do in the instrument's reading chamber.
#pragma once

#include <QWidget>

namespace vantorix {

class GuiGlowPlatePicture : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth_px = 350;
    static constexpr int kHeight_px = 200;

    explicit GuiGlowPlatePicture(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantorix
