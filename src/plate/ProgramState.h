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
    // The sets the document's file holds (the writer's range).
    qint16 FirstSet = 1;
    qint16 LastSet = 1;

    // The current document's file.
    QString DataFileName;

    // The operator of the last run measured, proposed by the next measurement window.
    QString OperatorName;
};

}  // namespace vantorix
