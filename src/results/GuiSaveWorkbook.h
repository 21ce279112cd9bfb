// "Save to Excel": the workbook opened in the desktop's spreadsheet program or, on a machine
// where no program opens workbooks, kept where the user chooses.
#pragma once

#include <QString>

class QWidget;

namespace vantorix {

class Dialogs;
class DocumentSession;
struct DataFolders;

// The document's name with ".xlsx" ("Sample.xlsx" for an unsaved one) in the data folder.
QString proposedWorkbookPath(const QString& dataFileName, const QString& dataFolder);

// Asks for the path through `dialogs`, then writes the current document there; a failure is
// shown with dialogs.warn. A cancelled question writes nothing.
void saveWorkbookWhereChosen(DocumentSession& shown, const DataFolders& folders, Dialogs& dialogs,
                             QWidget* parent);

// The button's whole action: the workbook goes to the desktop's program; where the desktop has
// no opener, or its opener finds no program for the file, the user is offered
// saveWorkbookWhereChosen instead.
void openWorkbookOnDesktop(DocumentSession& shown, const DataFolders& folders, Dialogs& dialogs,
                           QWidget* window);

inline const QString kNoWorkbookProgramText = QStringLiteral(
    "No program on this computer opened the workbook.\n\nSave it to a file of your choice?");

}  // namespace vantorix
