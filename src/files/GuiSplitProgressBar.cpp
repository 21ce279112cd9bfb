#include "files/GuiSplitProgressBar.h"

#include <QLabel>

namespace vantorix {

namespace {

QFrame* makeBar(QWidget* parent, const char* name, const QColor& colour) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(QLatin1String(name));
    QPalette p = bar->palette();
    p.setColor(QPalette::Window, colour);
    bar->setPalette(p);
    bar->setAutoFillBackground(true);
    return bar;
}

QLabel* makePercentLabel(QWidget* parent, const char* name, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

}  // namespace

GuiSplitProgressBar::GuiSplitProgressBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("picWhiteBack"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setMinimumSize(240, 24);
    picProgressWhite = makeBar(this, "picProgressWhite", Qt::white);
    lblProgressWhite = makePercentLabel(picProgressWhite, "lblProgressWhite", QColor(0, 0, 128));
    // The blue bar lies over the white label; its own label, as wide as the white bar, is
    // clipped to the blue part.
    picProgressBlue = makeBar(picProgressWhite, "picProgressBlue", QColor(0, 0, 128));
    lblProgressBlue = makePercentLabel(picProgressBlue, "lblProgressBlue", Qt::white);
    reset();
}

void GuiSplitProgressBar::reset() {
    done_ = total_ = 0;
    lblProgressWhite->clear();
    lblProgressBlue->clear();
    layOutBars();
}

void GuiSplitProgressBar::setProgress(int done, int total) {
    done_ = done;
    total_ = total;
    lblProgressWhite->setText(percentText());
    lblProgressBlue->setText(percentText());
    layOutBars();
}

QString GuiSplitProgressBar::percentText() const {
    if (total_ <= 0) return {};
    return QString::number(qint64(done_) * 100 / total_) + u'%';
}

int GuiSplitProgressBar::blueWidth() const {
    return picProgressBlue->width();
}

void GuiSplitProgressBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layOutBars();
}

void GuiSplitProgressBar::layOutBars() {
    const QRect inside = contentsRect();
    picProgressWhite->setGeometry(inside);
    const QRect whole(QPoint(0, 0), inside.size());
    lblProgressWhite->setGeometry(whole);
    lblProgressBlue->setGeometry(whole);
    const int blue = total_ > 0 ? int(qint64(inside.width()) * done_ / total_) : 0;
    picProgressBlue->setGeometry(0, 0, blue, inside.height());
}

}  // namespace vantorix
