#include "files/ParseDump.h"

#include <QDir>
#include <QFile>

#include "kernel/DataPaths.h"

namespace vantorix {

QString parseDumpFirstLine(const QString& dataFolder, const QString& fileName) {
    // The folder and the name as passed may each use either separator; the line uses one. A
    // whole path ("/tmp/p.ovd", "C:\\x\\p.ovd") stands alone.
    const bool whole = fileName.startsWith(u'/') || fileName.startsWith(u'\\') ||
                       (fileName.size() > 2 && fileName[1] == u':' && fileName[0].isLetter());
    QString line = whole ? fileName : dataFolder + u'/' + fileName;
    line.replace(u'\\', u'/');
    return QDir::toNativeSeparators(line);
}

bool writeParseDump(const QString& appFolder, const QString& dataFolder, const QString& fileName,
                    const std::vector<QString>& entries, QString* reason) {
    if (appFolder.isEmpty()) {
        if (reason) *reason = QStringLiteral("no folder for the program's own files");
        return false;
    }
    QString text = parseDumpFirstLine(dataFolder, fileName) + QStringLiteral("\r\n");
    for (const QString& entry : entries) {
        text += entry;
        text += QStringLiteral("\r\n");
    }
    const QByteArray bytes = text.toUtf8();
    // A diagnostic file: replaced in place without a durability call, so parsing does not wait
    // for the disk. Every step is still checked.
    QFile file(joinPath(appFolder, kParseDumpName));
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(bytes) == bytes.size() && file.flush();
    if (!ok && reason) *reason = file.fileName() + QStringLiteral(": ") + file.errorString();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

}  // namespace vantorix
