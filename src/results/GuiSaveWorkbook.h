// "Save to Excel" on a machine where no program opens workbooks: the user chooses where to keep
// the workbook instead, and it is written there.
#pragma once

#include <QString>

class QWidget;

namespace vantorix {

class Dialogs;
struct ProgramState;

// The document's name with ".xlsx" ("Sample.xlsx" for an unsaved one) in the data folder.
QString proposedWorkbookPath(const ProgramState& state);

// Asks for the path through `dialogs`, then writes the current document there; a failure is
// shown with dialogs.warn. A cancelled question writes nothing.
void saveWorkbookWhereChosen(ProgramState& state, Dialogs& dialogs, QWidget* parent);

}  // namespace vantorix
