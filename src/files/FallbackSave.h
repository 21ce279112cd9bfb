// When a run's file cannot be written where the user asked, the run is written to a file of
// its own in the per-user data folder rather than lost.
#pragma once

#include <QDateTime>
#include <QString>

#include "files/OvdWriter.h"
#include "plate/PlateDocument.h"

namespace vantorix {

// The user's documents folder + "/Vantorix", the folder data files go to when the program's
// own folder is not writable.
QString userDataFolder();

// "unsaved-run-20261206-154509-Plate.041.ovd": when the run ended and what it was to be called,
// the title shortened so that the name stays within 255 bytes.
QString fallbackFileName(const QString& intendedPath, const QDateTime& when);

// Writes the document to a free name in userDataFolder() made from intendedPath (the file it
// could not be written to) and `when`. path receives the file written (whole, native
// separators).
WriteResult saveToFallback(const PlateDocument& document, const QString& intendedPath,
                           const QDateTime& when, QString* path);

}  // namespace vantorix
