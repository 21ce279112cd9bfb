// A data file as a plate document: reading one gives the document and what the user should
// hear of it; writing one takes a document that is not changed. The file's text forms of
// readings ("-1", tokens that are no number) exist only here.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "files/OvdWriter.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct PlateFileRead {
    bool ok = false;
    // The file was read and parsed, even if then refused: `entries` holds what it found, and
    // the opener writes the parse dump from them.
    bool parsed = false;
    PlateDocument document;
    QString message;         // why the file did not open, or the notices, one a line
    QStringList notices;     // it opened, but: sets left out or missing, no-number readings, ...
    bool truncated = false;  // the file holds more sets than a document holds
    std::vector<QString> entries;  // every "path=value" the parse found, in the file's order
};

// Reads a data file (only regular files, at most kMaxDataFileBytes) as the desktop program
// opens it. Messages name the file as `shownName` (the path when empty).
PlateFileRead readPlateFile(const QString& path, const QString& shownName = {});

// Writes every dataset of the document to path, replacing any file there only once the new
// one is whole. The header's date and time are those of `now`.
WriteResult writePlateFile(const PlateDocument& document, const QString& path, const QDateTime& now,
                           const ProgramVersion& version = {});

}  // namespace vantorix
