#include "files/FallbackSave.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "files/PlateFile.h"

namespace vantorix {

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Vantorix");
}

namespace {

// A file name holds at most 255 bytes: the title gives way to the date, the time and room for
// a "-N" that keeps the name free.
constexpr qsizetype kTitleBytes =
    255 - qsizetype(sizeof "unsaved-run-20261206-154509-.ovd" - 1) - 8;

QString shortened(QString title) {
    while (title.toUtf8().size() > kTitleBytes) {
        title.chop(1);
        if (!title.isEmpty() && title.back().isHighSurrogate()) title.chop(1);
    }
    return title;
}

}  // namespace

QString fallbackFileName(const QString& intendedPath, const QDateTime& when) {
    QString title = QFileInfo(intendedPath).fileName();
    if (title.endsWith(QLatin1String(".ovd"), Qt::CaseInsensitive)) title.chop(4);
    title = shortened(title);
    if (title.isEmpty()) title = QStringLiteral("run");
    return QStringLiteral("unsaved-run-%1-%2.ovd")
        .arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")), title);
}

WriteResult saveToFallback(const PlateDocument& document, const QString& intended,
                           const QDateTime& when, QString* path) {
    const QString folder = userDataFolder();
    if (!QDir().mkpath(folder))
        return {false, QStringLiteral("cannot create the folder %1").arg(folder)};
    QString target = folder + u'/' + fallbackFileName(intended, when);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = folder + u'/' + fallbackFileName(intended, when).chopped(4) +
                 QStringLiteral("-%1.ovd").arg(n);
    const WriteResult written = writePlateFile(document, target, when);
    if (written.ok && path) *path = QDir::toNativeSeparators(target);
    return written;
}

}  // namespace vantorix
