// The buttons and placement every settings dialog shares.
#pragma once

#include <utility>

class QPushButton;
class QWidget;

namespace vantorix {

// "OK" (cmdOK, the default: Enter accepts) and "Cancel" (cmdCancel, never taken by Enter),
// children of dialog, not yet laid out.
std::pair<QPushButton*, QPushButton*> okCancelButtons(QWidget& dialog);

// Moves window to the middle of the primary screen's free area; where there is no screen it
// stays where it is.
void centreOnScreen(QWidget& window);

}  // namespace vantorix
