// Reading a data file into the key store, and the dump "temp.txt" that every successful parse
// leaves in the program's folder.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace vantorix {

class KeyStore;
struct ProgramState;

// Largest data file the parser reads; a file of 255 sets is about 0.4 MB.
constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// Parses a data file's bytes held in memory into the store (no dump). True when the whole
// input was scanned without a mismatching end tag.
bool parseDataBytes(KeyStore& store, QByteArrayView bytes, bool headerOnly,
                    QString* reason = nullptr);

// Parses the file (a bare name lies in DataFolder) into s.keyStore; on success writes the dump
// into s.AppFolder. A file that cannot be read leaves the store as it was.
bool ParseDataFile(ProgramState& s, bool headerOnly, const QString& fileName,
                   QString* reason = nullptr);

}  // namespace vantorix
