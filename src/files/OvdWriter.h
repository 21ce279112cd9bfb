// Writing a data file: the result every writer reports, and a run's document as its file
// holds it (the writer itself is writePlateFile, files/PlateFile.h).
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/ProgramVersion.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct WriteResult {
    bool ok = false;
    QString error;  // why the file could not be written; empty on success
};

// The sets firstSet..lastSet of a run's document as its file holds them, under the run's
// options (the header's extra sensitivity follows them): a set past the document's end is
// empty, and each well's status is the one the file states.
PlateDocument runDocument(const PlateDocument& d, const RunOptions& options, int firstSet,
                          int lastSet);

}  // namespace vantorix
