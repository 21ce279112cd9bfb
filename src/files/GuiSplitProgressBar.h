// The file browser's progress bar: a white bar with a blue bar growing over it, and the
// percentage written twice at the same place, dark on the white part and white on the blue
// part, so the text stays readable wherever the blue edge crosses it.
#pragma once

#include <QFrame>

class QLabel;

namespace vantorix {

class GuiSplitProgressBar : public QFrame {
    Q_OBJECT
  public:
    explicit GuiSplitProgressBar(QWidget* parent = nullptr);

    // Empty labels, no blue.
    void reset();
    // done of total steps: the whole percent in both labels, the blue bar that share wide.
    void setProgress(int done, int total);
    QString percentText() const;
    int blueWidth() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOutBars();

    int done_ = 0;
    int total_ = 0;
    QFrame* picProgressWhite = nullptr;
    QFrame* picProgressBlue = nullptr;
    QLabel* lblProgressWhite = nullptr;
    QLabel* lblProgressBlue = nullptr;
};

}  // namespace vantorix
