#include "files/OvdHeaderParse.h"

#include <QFile>

#include "files/OvdParser.h"
#include "files/RegularFile.h"

namespace vantorix {

namespace {

// A written file's header and first set line fit in the first read.
constexpr qint64 kHeadChunkBytes = 8 * 1024;

// Finds where the head ends: the first CR after the first "<set-" (lines end at CR, so the set
// line is then complete, and cutting there never splits a UTF-8 sequence). Searches only what
// is new since the last call, so a file without set lines is still read in linear time.
class HeadEnd {
  public:
    qsizetype find(const QByteArray& head) {
        if (set_ < 0) {
            set_ = head.indexOf("<set-", qMax<qsizetype>(0, searched_ - 4));
            searched_ = head.size();
            if (set_ < 0) return -1;
            searched_ = set_;
        }
        const qsizetype cr = head.indexOf('\r', searched_);
        searched_ = head.size();
        return cr < 0 ? -1 : cr + 1;
    }

  private:
    qsizetype set_ = -1;
    qsizetype searched_ = 0;
};

}  // namespace

bool readDataFileHead(const QString& path, QByteArray& head, QString* reason) {
    QFile file;
    // Unbuffered: the head is read in a call or two, straight into `head`.
    if (!openRegularFile(file, path, reason, QIODevice::Unbuffered)) return false;
    head.clear();
    HeadEnd end;
    for (;;) {
        const QByteArray chunk = file.read(kHeadChunkBytes);
        if (chunk.isEmpty()) break;
        head += chunk;
        if (const qsizetype at = end.find(head); at >= 0) {
            head.truncate(at);
            return true;
        }
        if (head.size() > kMaxDataFileBytes) {
            if (reason) *reason = QStringLiteral("the file is too large for a data file");
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        if (reason) *reason = file.errorString();
        return false;
    }
    return true;
}

bool parseDataFileHeader(const QString& path, KeyStore& store, QString* reason) {
    QByteArray head;
    if (!readDataFileHead(path, head, reason)) return false;
    return parseDataBytes(store, head, true, reason);
}

}  // namespace vantorix
