#include "results/ExportCurrentDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "plate/DocumentSession.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantorix {

namespace {

// The title of the data file, whatever separator its path uses, made safe as a file name.
QString documentTitle(const QString& dataFileName) {
    QString name = dataFileName.mid(
        std::max(dataFileName.lastIndexOf(u'/'), dataFileName.lastIndexOf(u'\\')) + 1);
    name = QFileInfo(name).completeBaseName();
    for (QChar& ch : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(ch) || ch.unicode() < 0x20) ch = u'_';
    return name.trimmed().isEmpty() ? QStringLiteral("Vantorix") : name;
}

// A folder only this user can enter: created owner-only, or found owned by this user.
bool usablePrivateFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QFileInfo info(folder);
#ifdef Q_OS_UNIX
    if (info.ownerId() != ::geteuid()) return false;
#endif
    return info.isDir() && info.isWritable();
}

}  // namespace

QString exportFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (base.isEmpty()) return {};
    // The temporary folder may be shared by every user of the machine; when another user
    // holds the name, fall back to one that carries our user id.
    QString folder = base + QStringLiteral("/vantorix-export");
    if (usablePrivateFolder(folder)) return folder;
#ifdef Q_OS_UNIX
    folder += u'-' + QString::number(::geteuid());
    if (usablePrivateFolder(folder)) return folder;
#endif
    return {};
}

QString exportFilePath(const QString& folder, const QString& dataFileName, const QDateTime& now) {
    const QString stem = folder + u'/' + documentTitle(dataFileName) + u' ' +
                         now.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    QString path = stem + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n) path = stem + QStringLiteral(" (%1).xlsx").arg(n);
    return path;
}

ExportOutcome exportCurrentDocument(DocumentSession& s, WorkbookViewer* viewer,
                                    const MessageSink& show, const QDateTime& now) {
    const QString folder = viewer ? exportFolder() : QString();
    SpreadsheetFactory start;
    if (!folder.isEmpty()) start = xlsxSpreadsheet(exportFilePath(folder, s.path(), now), viewer);
    const ExportOutcome outcome = ExportToExcel(s.document(), s.setCount(), start, show);
    if (outcome.documentSetCount) s.setSetCount(*outcome.documentSetCount);
    return outcome;
}

}  // namespace vantorix
