// Writing a data file: the result every writer reports, and the current document's file.
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/ProgramVersion.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct ProgramState;

struct WriteResult {
    bool ok = false;
    QString error;  // why the file could not be written; empty on success
};

// Writes the run FirstSet..LastSet to DataFileName (a bare name lies in dataFolder), replacing
// any file there. The file is written beside its final place and renamed over it, so a failed write
// (full disk, no permission) leaves the old file as it was.
WriteResult WriteDataFile(const ProgramState& s, const QString& dataFolder, const QDateTime& now,
                          const ProgramVersion& v = {});

// The document of the run FirstSet..LastSet as the state holds it, for the writers.
PlateDocument runDocument(const ProgramState& s);

}  // namespace vantorix
