// Opening a data file named on the desktop program's command line (a double click in the file
// manager), in the one measurement window, as the file browser's Open does.
#pragma once

#include <QString>

namespace vantorix {

class frmMain;
class Scheduler;
struct ProgramState;

// Loads the file into the measurement window and shows it; its folder becomes DataFolder, so
// the file browser and the next run start there. A file that cannot be opened is reported in
// a message box. True when the file was loaded.
bool openDocumentFile(frmMain& frame, ProgramState& state, Scheduler& scheduler,
                      const QString& path);

}  // namespace vantorix
