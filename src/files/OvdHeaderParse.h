// The header-only parse the file browser makes of every file it lists: it reads a file only up
// to its first set line, parses into a store of the caller's choosing and writes no dump, so
// listing thousands of files stays fast and leaves the open document's store alone.
#pragma once

#include <QByteArray>
#include <QString>

namespace vantorix {

class KeyStore;

// The leading bytes of the file that a header-only parse looks at: everything up to the line
// end after the first "<set-", or the whole file when there is none. False, with the reason,
// when the file cannot be read.
bool readDataFileHead(const QString& path, QByteArray& head, QString* reason = nullptr);

// readDataFileHead, then a header-only parse of those bytes into `store`.
bool parseDataFileHeader(const QString& path, KeyStore& store, QString* reason = nullptr);

}  // namespace vantorix
