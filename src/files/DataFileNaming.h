// Naming a run's data file and saving the document (the dialogs belong to the windows).
#pragma once

#include <QDateTime>

#include "files/OvdWriter.h"

namespace vantorix {

struct ProgramState;

// Counts the numeric extension of DataFileTitle up: "Plate.041" -> "Plate.042", 999 -> 001.
// A title without a numeric extension ("Sample", "Run.ovd") stays as it is.
void NextDataFileTitle(ProgramState& s);

// Writes the document to DataFileName; Saved is set only when the file was written.
WriteResult SaveDocument(ProgramState& s, const QDateTime& now);

}  // namespace vantorix
