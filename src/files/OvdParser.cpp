#include "files/OvdParser.h"

#include <QFile>

#include "files/DataPaths.h"
#include "files/KeyStore.h"
#include "files/OvdScanner.h"
#include "files/OvdWorkingText.h"
#include "files/ParseDump.h"
#include "files/TextEncoding.h"
#include "frame/ProgramState.h"

namespace vantorix {

namespace {

bool readWholeFile(const QString& path, QByteArray& bytes, QString* reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString();
        return false;
    }
    if (file.size() > kMaxDataFileBytes) {
        if (reason)
            *reason = QStringLiteral("the file is larger than %1 MB, too large for a data file")
                          .arg(kMaxDataFileBytes / (1024 * 1024));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (reason) *reason = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

bool parseDataBytes(KeyStore& store, QByteArrayView bytes, bool headerOnly, QString* reason) {
    const QString text = ovdWorkingText(decodeDataFileBytes(bytes), headerOnly);
    return scanOvdTags(text, store, reason);
}

bool ParseDataFile(ProgramState& s, bool headerOnly, const QString& fileName, QString* reason) {
    QByteArray bytes;
    if (!readWholeFile(resolveDataPath(s.DataFolder, fileName), bytes, reason)) return false;
    if (!parseDataBytes(s.keyStore, bytes, headerOnly, reason)) return false;
    writeParseDump(s, fileName);
    return true;
}

}  // namespace vantorix
