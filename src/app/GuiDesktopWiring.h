// The desktop program's composition root: the only place that knows every window. It puts the
// file browser, the firmware download, the spreadsheet export and the settings dialogs behind
// the frame's entries and the measurement window's buttons.
#pragma once

#include <QString>

#include "files/OvdLoader.h"

namespace vantorix {

class frmDownloadNewFirmware;
class frmMain;
class Scheduler;
class SettingsStore;

// Wires every entry of the frame; the windows it creates are children of the frame.
void wireDesktop(frmMain& frame, SettingsStore& settings, Scheduler& scheduler,
                 const QString& programFolder);

// File > Open: the browser, created on first use as a window of the frame, shown modeless
// and brought to the front.
void installFileBrowser(frmMain& frame, Scheduler& scheduler);

// Utilities > Download New Firmware: the dialog is created on first use and shown again on
// every later one.
void connectFirmwareDownload(frmMain& frame, SettingsStore& settings, Scheduler& scheduler,
                             const QString& programFolder);

// "Save to Excel": the workbook goes to a temporary file that the desktop's spreadsheet
// program opens; without such a program the user chooses where to keep it.
void connectExcelExport(frmMain& frame);
// Each download the dialog ends is a "firmware sent" event in the history.
void recordFirmwareSent(frmMain& frame, frmDownloadNewFirmware& dialog);

// Loads a stored data file (a name in the data folder, or a whole path) into the one
// measurement window, read-only, its name in the caption. The caller shows loaded.message.
LoadResult showStoredDocument(frmMain& frame, const QString& fileName);

// Opens a data file named on the command line (a double click in the file manager) in the one
// measurement window, as the file browser's Open does; its folder becomes the data folder, so
// the file browser and the next run start there. A file that cannot be opened is reported in a
// message box. True when the file was loaded.
bool openDocumentFile(frmMain& frame, const QString& path);

}  // namespace vantorix
