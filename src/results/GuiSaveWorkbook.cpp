#include "results/GuiSaveWorkbook.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

#include "kernel/DataPaths.h"
#include "plate/ProgramState.h"
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

void saveWorkbookWhereChosen(ProgramState& state, const DataFolders& folders, Dialogs& dialogs,
                             QWidget* parent) {
    // The answer may come after the window has closed; its messages then have no parent.
    QPointer<QWidget> window(parent);
    dialogs.askWorkbookFileName(parent, proposedWorkbookPath(state.DataFileName, folders.data),
                                [&state, &dialogs, window](const QString& path) {
                                    if (path.isEmpty()) return;
                                    takeDocumentSetCount(
                                        state, ExportToExcel(state, xlsxSpreadsheet(path, nullptr),
                                                             [&dialogs, window](const QString& m) {
                                                                 dialogs.warn(window, m);
                                                             }));
                                });
}

void openWorkbookOnDesktop(ProgramState& state, const DataFolders& folders, Dialogs& dialogs,
                           QWidget* window) {
    QPointer<QWidget> guard(window);
    DesktopWorkbookViewer viewer(window, [&state, &folders, &dialogs, guard](const QString&) {
        if (!guard) return;
        dialogs.askYesNo(guard, kNoWorkbookProgramText,
                         [&state, &folders, &dialogs, guard](bool yes) {
                             if (yes && guard)
                                 saveWorkbookWhereChosen(state, folders, dialogs, guard);
                         });
    });
    if (!viewer.available()) {
        saveWorkbookWhereChosen(state, folders, dialogs, window);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    exportCurrentDocument(
        state, &viewer, [&dialogs, guard](const QString& m) { dialogs.inform(guard, m); },
        QDateTime::currentDateTime());
    QApplication::restoreOverrideCursor();
}

}  // namespace vantorix
