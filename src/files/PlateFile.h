// A data file as a plate document: reading one gives the document and what the user should
// hear of it; writing one takes a document that is not changed.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "files/OvdWriter.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct ProgramState;

struct PlateFileRead {
    bool ok = false;
    PlateDocument document;
    QString message;      // why the file did not open (empty when it did)
    QStringList notices;  // it opened, but: sets left out, readings that are no number, ...
};

// Reads a data file (only regular files, at most kMaxDataFileBytes) as the desktop program
// opens it: the same sets, the same readings and the same notices.
PlateFileRead readPlateFile(const QString& path);

// Writes every dataset of the document to path, replacing any file there only once the new
// one is whole. The header's date and time are those of `now`.
WriteResult writePlateFile(const PlateDocument& document, const QString& path, const QDateTime& now,
                           const ProgramVersion& version = {});

// The document the readings table holds for sets firstSet..lastSet.
PlateDocument plateDocumentOf(const ProgramState& s, int firstSet, int lastSet,
                              bool lastSetComplete = true);

}  // namespace vantorix
