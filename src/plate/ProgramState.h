// Program-wide state: created once by main() (or by a test) and handed to the windows and to
// core. There is one document, one run and one options dialog at a time.
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/DataPaths.h"
#include "kernel/ProgramVersion.h"
#include "kernel/RunOptions.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct ProgramState {
    // Run options: the persisted defaults and those of the measurement window's run.
    RunOptions DefaultOptions;
    RunOptions CurrentOptions;

    // The document: the last data file opened, or the run's readings as they arrive (set n is
    // datasets[n - 1]; sets past the run keep the previous document's).
    PlateDocument document;
    qint16 CurrentSet = 1;

    // The measurement window's document flags (it is the only document).
    qint16 SetCount = 0;
    bool HasData = false;
    bool Saved = false;
    bool CanEdit = false;
    bool RunStopped = true;
    QDateTime DataDate;
    // Header texts of the measurement window; the run and the writer read them.
    QString Operator, Test, PlateNo, Notes;

    // Run state.
    bool RunActive = false;
    bool Receiving = false;
    qint16 FirstSet = 1;
    qint16 LastSet = 1;
    qint16 RunSet = 1;
    // The run's sets have been emptied for its readings. Until then (while the instrument is
    // being contacted) the document still holds the previous readings.
    bool RunSetsCleared = false;
    // Seconds on the monotonic clock; RunStartTime is -1 before the run's first reading.
    qint64 RunStartTime = -1;
    qint64 SilenceTimer = 0;
    qint64 LinkActivityTime = 0;

    // File names: the current document's file, the title proposed for the next run and the
    // folder data files are named, listed and opened in.
    QString DataFileName;
    QString DataFileTitle = QStringLiteral("Sample");
    QString DataFolder;
    // Writable folder of the program's own files: the parse dump "temp.txt" and the firmware
    // image. The program's folder for a portable install, else a per-user folder.
    QString AppFolder;

    // Frame members.
    QString OperatorName;
    bool BurstMode = false;
};

// Sets AppFolder and DataFolder as programFolders (kernel/DataPaths.h) finds them.
inline void initFolders(ProgramState& s, const QString& programDir,
                        DataFolderStart start = DataFolderStart::ProgramFiles) {
    const ProgramFolders f = programFolders(programDir, start);
    s.AppFolder = f.appFolder;
    s.DataFolder = f.dataFolder;
}
inline void initFolders(ProgramState& s, DataFolderStart start) {
    const ProgramFolders f = programFolders(start);
    s.AppFolder = f.appFolder;
    s.DataFolder = f.dataFolder;
}

}  // namespace vantorix
