#include "files/OvdParser.h"

#include <QFile>

#include "files/KeyStore.h"
#include "files/OvdScanner.h"
#include "files/OvdWorkingText.h"
#include "files/RegularFile.h"
#include "files/TextEncoding.h"

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

bool readDataFileEntries(const QString& path, bool headerOnly, std::vector<QString>& entries,
                         QString* reason) {
    QByteArray bytes;
    KeyStore store;
    if (!readWholeFile(path, bytes, reason) || !parseDataBytes(store, bytes, headerOnly, reason))
        return false;
    entries = store.takeEntries();
    return true;
}

}  // namespace vantorix
