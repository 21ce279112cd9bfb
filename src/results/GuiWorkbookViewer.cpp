#include "results/GuiWorkbookViewer.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace vantorix {

bool DesktopWorkbookViewer::available() const {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
#endif
}

bool DesktopWorkbookViewer::open(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace vantorix
