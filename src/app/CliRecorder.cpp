#include "app/CliRecorder.h"

#include <memory>

#include "app/CliCommand.h"
#include "kernel/SettingsStore.h"

namespace vantorix::cli {

void recordHistory(const std::function<void(RunHistory&)>& what) {
    static std::unique_ptr<RunHistory> history;
    if (!history) history = std::make_unique<RunHistory>(history::historyPath(QSettingsStore()));
    what(*history);
    // The pending file keeps what could not be written; one line says so, the first time.
    if (const QString notice = history->takeNotice(); !notice.isEmpty())
        printError(QString(notice).replace(u'\n', u' '));
}

}  // namespace vantorix::cli
