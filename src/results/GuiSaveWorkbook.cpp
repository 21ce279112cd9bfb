#include "results/GuiSaveWorkbook.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

#include "kernel/DataPaths.h"
#include "plate/DocumentSession.h"
#include "results/ExportCurrentDocument.h"
#include "results/ExportToExcel.h"
#include "results/GuiWorkbookViewer.h"
#include "results/XlsxSpreadsheet.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

QString proposedWorkbookPath(const QString& dataFileName, const QString& dataFolder) {
    const QString name = QFileInfo(dataFileName).completeBaseName();
    return QDir(dataFolder)
        .filePath((name.isEmpty() ? QStringLiteral("Sample") : name) + QStringLiteral(".xlsx"));
}

void saveWorkbookWhereChosen(DocumentSession& shown, const DataFolders& folders, Dialogs& dialogs,
                             QWidget* parent) {
    // The answer may come after the window has closed; its messages then have no parent.
    QPointer<QWidget> window(parent);
    dialogs.askWorkbookFileName(
        parent, proposedWorkbookPath(shown.path(), folders.data),
        [&shown, &dialogs, window](const QString& path) {
            if (path.isEmpty()) return;
            const ExportOutcome outcome =
                ExportToExcel(shown.document(), shown.setCount(), xlsxSpreadsheet(path, nullptr),
                              [&dialogs, window](const QString& m) { dialogs.warn(window, m); });
            if (outcome.documentSetCount) shown.setSetCount(*outcome.documentSetCount);
        });
}

void openWorkbookOnDesktop(DocumentSession& shown, const DataFolders& folders, Dialogs& dialogs,
                           QWidget* window) {
    QPointer<QWidget> guard(window);
    DesktopWorkbookViewer viewer(window, [&shown, &folders, &dialogs, guard](const QString&) {
        if (!guard) return;
        dialogs.askYesNo(guard, kNoWorkbookProgramText,
                         [&shown, &folders, &dialogs, guard](bool yes) {
                             if (yes && guard)
                                 saveWorkbookWhereChosen(shown, folders, dialogs, guard);
                         });
    });
    if (!viewer.available()) {
        saveWorkbookWhereChosen(shown, folders, dialogs, window);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    exportCurrentDocument(
        shown, &viewer, [&dialogs, guard](const QString& m) { dialogs.inform(guard, m); },
        QDateTime::currentDateTime());
    QApplication::restoreOverrideCursor();
}

}  // namespace vantorix
