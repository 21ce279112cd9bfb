#include "ui/GuiDialogButtons.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace vantorix {

std::pair<QPushButton*, QPushButton*> okCancelButtons(QWidget& dialog) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    return {ok, cancel};
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    window.move(available.left() + (available.width() - window.width()) / 2,
                available.top() + (available.height() - window.height()) / 2);
}

}  // namespace vantorix
