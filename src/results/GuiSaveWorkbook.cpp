#include "results/GuiSaveWorkbook.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

#include "plate/ProgramState.h"
#include "results/ExportCurrentDocument.h"
#include "results/ExportToExcel.h"
#include "results/GuiWorkbookViewer.h"
#include "results/XlsxSpreadsheet.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

QString proposedWorkbookPath(const ProgramState& state) {
    const QString name = QFileInfo(state.DataFileName).completeBaseName();
    return QDir(state.DataFolder)
        .filePath((name.isEmpty() ? QStringLiteral("Sample") : name) + QStringLiteral(".xlsx"));
}

void saveWorkbookWhereChosen(ProgramState& state, Dialogs& dialogs, QWidget* parent) {
    // The answer may come after the window has closed; its messages then have no parent.
    QPointer<QWidget> window(parent);
    dialogs.askWorkbookFileName(
        parent, proposedWorkbookPath(state), [&state, &dialogs, window](const QString& path) {
            if (path.isEmpty()) return;
            takeDocumentSetCount(state, ExportToExcel(state, xlsxSpreadsheet(path, nullptr),
                                                      [&dialogs, window](const QString& m) {
                                                          dialogs.warn(window, m);
                                                      }));
        });
}

void openWorkbookOnDesktop(ProgramState& state, Dialogs& dialogs, QWidget* window) {
    QPointer<QWidget> guard(window);
    DesktopWorkbookViewer viewer(window, [&state, &dialogs, guard](const QString&) {
        if (!guard) return;
        dialogs.askYesNo(guard, kNoWorkbookProgramText, [&state, &dialogs, guard](bool yes) {
            if (yes && guard) saveWorkbookWhereChosen(state, dialogs, guard);
        });
    });
    if (!viewer.available()) {
        saveWorkbookWhereChosen(state, dialogs, window);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    exportCurrentDocument(
        state, &viewer, [&dialogs, guard](const QString& m) { dialogs.inform(guard, m); },
        QDateTime::currentDateTime());
    QApplication::restoreOverrideCursor();
}

}  // namespace vantorix
