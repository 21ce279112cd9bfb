#include "files/ParseDump.h"

#include <QSaveFile>

#include "files/DataPaths.h"
#include "frame/ProgramState.h"

namespace vantorix {

bool writeParseDump(const ProgramState& s, const QString& fileName) {
    if (s.AppFolder.isEmpty()) return false;
    QString text = s.DataFolder + u'\\' + fileName + QStringLiteral("\r\n");
    for (const QString& entry : s.keyStore.entries()) {
        text += entry;
        text += QStringLiteral("\r\n");
    }
    QSaveFile file(joinPath(s.AppFolder, kParseDumpName));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

}  // namespace vantorix
