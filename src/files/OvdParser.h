// Reading a data file into the key store. Parsing writes nothing; whoever opens a file for the
// user writes the dump "temp.txt" afterwards (files/ParseDump.h).
#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace vantorix {

class KeyStore;

// Largest data file the parser reads; a file of 255 sets is about 0.4 MB.
constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// What a successful parse found besides the entries.
struct ParseFacts {
    // The path of the elements still open where the file simply ran out (cut off by a crash
    // or a copy); "" when all were closed or reading stopped on purpose.
    QString unclosedPath;
};

// Parses a data file's bytes held in memory into the store (no dump). True when the whole
// input was scanned without a mismatching end tag or an element nested too deeply.
bool parseDataBytes(KeyStore& store, QByteArrayView bytes, bool headerOnly,
                    QString* reason = nullptr, ParseFacts* facts = nullptr);

// Parses the file at path (only regular files are read) and gives every entry it found, for
// a listing of the file's keys. False, with the reason, when it cannot be read or parsed.
bool readDataFileEntries(const QString& path, bool headerOnly, std::vector<QString>& entries,
                         QString* reason = nullptr);

}  // namespace vantorix
