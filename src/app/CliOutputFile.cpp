#include "app/CliOutputFile.h"

#include <QDir>
#include <QFileInfo>

namespace vantorix::cli {

QString refuseToReplace(const QString& path, bool force) {
    if (force) return {};
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    // A link is refused even when it points nowhere: writing would create its target.
    if (info.isSymLink())
        return QStringLiteral("%1 is a symbolic link; give --force to write through it").arg(shown);
    // A folder in the way is no data to lose: the save fails and the run goes elsewhere.
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 exists already; give --force to replace it").arg(shown);
    return {};
}

}  // namespace vantorix::cli
