#include "files/OvdParser.h"

#include <QFile>

#include "files/OvdScanner.h"
#include "files/OvdWorkingText.h"
#include "files/RegularFile.h"
#include "files/TextEncoding.h"
#include "kernel/DataPaths.h"
#include "kernel/KeyStore.h"
#include "kernel/ProgramState.h"

namespace vantorix {

namespace {

bool readWholeFile(const QString& path, QByteArray& bytes, QString* reason) {
    return readRegularFile(path, kMaxDataFileBytes, bytes, reason);
}

}  // namespace

bool parseDataBytes(KeyStore& store, QByteArrayView bytes, bool headerOnly, QString* reason,
                    ParseFacts* facts) {
    const QString text = ovdWorkingText(decodeDataFileBytes(bytes), headerOnly);
    QString unclosed;
    if (!scanOvdTags(text, store, reason, &unclosed)) return false;
    // Reading that stopped on purpose leaves elements open; only a text that simply ran out
    // ends early.
    if (headerOnly || text.endsWith(u"<data-io>")) unclosed.clear();
    if (facts) facts->unclosedPath = unclosed;
    return true;
}

bool ParseDataFile(KeyStore& store, const QString& dataFolder, bool headerOnly,
                   const QString& fileName, QString* reason, ParseFacts* facts) {
    QByteArray bytes;
    if (!readWholeFile(resolveDataPath(dataFolder, fileName), bytes, reason)) return false;
    return parseDataBytes(store, bytes, headerOnly, reason, facts);
}

}  // namespace vantorix
