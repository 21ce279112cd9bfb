// When a run's file cannot be written where the user asked, the run is written to a file of
// its own in the per-user data folder rather than lost.
#pragma once

#include <QDateTime>
#include <QString>

#include "files/OvdWriter.h"
#include "kernel/ProgramState.h"

namespace vantorix {

// The user's documents folder + "/Vantorix", the folder data files go to when the program's
// own folder is not writable.
QString userDataFolder();

// "unsaved-run-20261206-154509-Plate.041.ovd": when the run ended and what it was to be called,
// the title shortened so that the name stays within 255 bytes.
QString fallbackFileName(const QString& intendedPath, const QDateTime& when);

// Writes the run to userDataFolder(); DataFileName names the written file on success and is
// left as it was on failure. path receives the file written.
WriteResult saveToFallback(ProgramState& s, const QDateTime& when, QString* path);

}  // namespace vantorix
