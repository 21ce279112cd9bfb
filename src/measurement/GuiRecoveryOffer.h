// At start-up the desktop program offers each run whose journal was left behind (a crash, a
// kill, a power cut, a failed save the user declined to repeat) for recovery.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantorix {

class Dialogs;

// Asks about each interrupted run in journalFolder in turn, naming its plate, test and
// operator: Yes asks for a file name (in dataFolder), writes the run there and hands the file
// to open(); No sets the journal aside (".declined") so it is not asked about again, while
// `vantorix-cli recover` still finds it. done() follows the last one.
void offerRecovery(QWidget* parent, Dialogs& dialogs, const QString& journalFolder,
                   const QString& dataFolder, std::function<void()> done = {},
                   std::function<void(const QString& path)> open = {});

}  // namespace vantorix
