#include "kernel/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantorix {

namespace {

// A backslash separates folders only on Windows; elsewhere it is part of a file name.
QString withForwardSlashes(const QString& path) {
    return QDir::fromNativeSeparators(path);
}

bool isWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isWritable();
}

// An installed program (/usr/bin, /usr/local/bin, or a staged copy of that layout) keeps its
// files in the user's folder even for root, who could write beside the executable.
bool isSystemProgramFolder(const QString& folder) {
    const QString path = QDir::cleanPath(withForwardSlashes(folder));
    return path == QLatin1String("/bin") || path.endsWith(QLatin1String("/usr/bin")) ||
           path.endsWith(QLatin1String("/usr/local/bin"));
}

}  // namespace

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return QDir::toNativeSeparators(withForwardSlashes(name));
    QString path = withForwardSlashes(folder);
    if (!path.endsWith(u'/')) path += u'/';
    return QDir::toNativeSeparators(path + withForwardSlashes(name));
}

QString resolveDataPath(const QString& dataFolder, const QString& fileName) {
    if (withForwardSlashes(fileName).contains(u'/'))
        return QDir::toNativeSeparators(QDir::cleanPath(withForwardSlashes(fileName)));
    return joinPath(dataFolder, fileName);
}

DataFolders programFolders(const QString& programDir, DataFolderStart start) {
    QString folder = programDir;
    if (!isWritableFolder(folder) || isSystemProgramFolder(folder)) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        folder = withForwardSlashes(documents) + QStringLiteral("/Vantorix");
        QDir().mkpath(folder);
    }
    DataFolders f;
    f.app = QDir::toNativeSeparators(withForwardSlashes(folder));
    f.data = start == DataFolderStart::CurrentFolder ? QDir::currentPath() : f.app;
    return f;
}

DataFolders programFolders(DataFolderStart start) {
    return programFolders(QCoreApplication::applicationDirPath(), start);
}

QString recoveryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vantorix/recovery");
}

}  // namespace vantorix
