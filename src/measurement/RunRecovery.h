// Reading a run journal back: what it holds, and the data file made from it.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "files/OvdWriter.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct JournalContents {
    bool ok = false;
    QString error;  // why the journal cannot be read (not a journal, unreadable)
    QString note;   // damaged records that were left out; empty when none
    QDateTime started;
    int readings = 0;
    int datasets = 0;  // sets holding readings, the unfinished one included
    int completedSets = 0;
    int intendedSets = 0;  // the sets the run was started for; 0 when the journal does not say
    QString targetFile;    // the file the run was to be saved to
};

// Reads the journal into d: header texts, well selection and extra sensitivity (d.options),
// firmware version and readings of sets 1..datasets (wells without a reading "-1").
JournalContents readJournal(const QString& path, PlateDocument& d);

// Journals in folder that no running program holds, oldest first; with includeDeclined also
// those the user chose not to recover at start-up.
QStringList interruptedJournals(const QString& folder, bool includeDeclined = false);

// "1 reading in 1 dataset", "4 readings in 2 datasets".
QString readingsInDatasets(int readings, int datasets);

// "A run of DATE with N readings in K datasets was interrupted. Recover it?"
QString recoveryQuestion(const JournalContents& c);
// The run as the user named it: "plate P7, test ATP, operator Ana" (empty fields left out).
QString runDescription(const PlateHeader& h);

struct RecoveryResult {
    WriteResult written;
    JournalContents contents;
    QString keptAs;  // where a damaged journal was kept once the file was written
};

// Writes the journal's run to outPath as an ordinary data file, dated when the journal was
// last written (when the run stopped). Once the file is written the journal is removed, or,
// when records were left out, renamed to end in ".recovered" (keptAs).
RecoveryResult recoverJournal(const QString& journalPath, const QString& outPath);

}  // namespace vantorix
