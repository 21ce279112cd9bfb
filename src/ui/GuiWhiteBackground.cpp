#include "ui/GuiWhiteBackground.h"

#include <QWidget>

namespace vantorix {

void setWhiteBackground(QWidget& widget) {
    widget.setAutoFillBackground(true);
    QPalette pal = widget.palette();
    pal.setColor(QPalette::Window, Qt::white);
    widget.setPalette(pal);
}

}  // namespace vantorix
