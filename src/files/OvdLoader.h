// The load step of reading a data file: from the parsed entries to a plate document, with
// what the user should hear of sets left out or missing and of readings that are no number.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "files/PlateFile.h"

namespace vantorix {

class DocumentSession;
class KeyStore;

// Fills read.document (datasets 1..N: the sets declared, at most 255 and at most the highest
// set the store holds), read.notices and read.truncated from the parsed store.
void loadDocumentFromStore(const KeyStore& store, PlateFileRead& read);

// What opening a file as the current document tells its opener.
struct LoadResult {
    bool ok = false;
    bool parsed = false;  // the file was read and parsed: the opener writes the parse dump
    QString message;      // for the user: why the file did not open, or the notices, one a line
    QStringList notices;  // loaded, but: sets left out or missing, the file ends early
    int setsLoaded = 0;
    bool truncated = false;        // the file holds more sets than a document holds
    std::vector<QString> entries;  // what the parse found, for the dump (files/ParseDump.h)
};

// Reads the file (a bare name lies in dataFolder) into d: on success d is replaced, on failure
// it stays as it was.
LoadResult LoadDataFile(PlateDocument& d, const QString& dataFolder, const QString& fileName);
// The same into the session's document.
LoadResult LoadDataFile(DocumentSession& session, const QString& dataFolder,
                        const QString& fileName);

}  // namespace vantorix
