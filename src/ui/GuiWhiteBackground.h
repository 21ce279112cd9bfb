// Pictures (plates, curves) are drawn on white, as they print, whatever the desktop's colours.
#pragma once

class QWidget;

namespace vantorix {

void setWhiteBackground(QWidget& widget);

}  // namespace vantorix
