// Writing the current document to its data file.
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/ProgramState.h"

namespace vantorix {

struct WriteResult {
    bool ok = false;
    QString error;  // why the file could not be written; empty on success
};

// Writes the run FirstSet..LastSet to DataFileName (a bare name lies in dataFolder), replacing
// any file there. The file is
// written beside its final place and renamed over it, so a failed write (full disk, no
// permission) leaves the old file as it was.
WriteResult WriteDataFile(const ProgramState& s, const QString& dataFolder, const QDateTime& now,
                          const ProgramVersion& v = {});

}  // namespace vantorix
