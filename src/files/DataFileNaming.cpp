#include "files/DataFileNaming.h"

#include <QFileInfo>

#include "kernel/DataPaths.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

const QLatin1String kOvd(".ovd");

bool hasOvdExtension(const QString& name) {
    return name.endsWith(kOvd, Qt::CaseInsensitive) && name.size() > kOvd.size();
}

// "Plate.041" -> "Plate.042"; "" when the part after the first "." is not a number.
QString countedOn(const QString& stem) {
    const qsizetype dot = stem.indexOf(u'.');
    if (dot < 0) return {};
    const QStringView extension = QStringView(stem).mid(dot + 1);
    if (!isNumeric(extension)) return {};
    double n = leadingNumber(extension) + 1;
    if (n > 999 || n < 1) n = 1;
    return stem.left(dot + 1) + formatFixed(n, 3, 0);
}

}  // namespace

QString withOvdExtension(const QString& name) {
    return hasOvdExtension(name) ? name : name + kOvd;
}

QString nextDataFileTitle(const QString& title, const QString& folder) {
    const bool ovd = hasOvdExtension(title);
    const QString stem = ovd ? title.chopped(kOvd.size()) : title;
    const QString next = countedOn(stem);
    if (next.isEmpty()) return freeDataFileTitle(title, folder);
    return freeDataFileTitle(ovd ? next + title.right(kOvd.size()) : next, folder);
}

QString freeDataFileTitle(const QString& title, const QString& folder) {
    constexpr int kNumberedNames = 999;
    QString t = title;
    for (int i = 0; i <= kNumberedNames && !folder.isEmpty() &&
                    QFileInfo::exists(resolveDataPath(folder, withOvdExtension(t)));
         ++i) {
        const QString stem = withOvdExtension(t).chopped(kOvd.size());
        QString next = countedOn(stem);
        if (next.isEmpty()) next = stem + QStringLiteral(".001");
        t = next + kOvd;
    }
    return t;
}

}  // namespace vantorix
