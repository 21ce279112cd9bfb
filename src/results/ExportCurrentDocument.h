// "Save to Excel" of the measurement window: exports the current document into a new .xlsx
// file in a per-user temporary folder and opens it in the desktop's spreadsheet program,
// where the user saves it.
#pragma once

#include <QDateTime>
#include <QString>

#include "results/ExportToExcel.h"
#include "results/XlsxSpreadsheet.h"

namespace vantorix {

class DocumentSession;

// The folder exports go to: "vantorix-export" in the user's temporary folder, owner-only (with
// the user id appended when another user holds that name). Empty when it cannot be made.
QString exportFolder();

// "<data file title> <yyyy-MM-dd hh-mm-ss>.xlsx", in `folder`, not naming an existing file.
QString exportFilePath(const QString& folder, const QString& dataFileName, const QDateTime& now);

// The button's whole action: the session's set count follows the exported document's. Without a
// viewer, or a viewer without a program, or without a usable temporary folder, shows the "not
// found" message.
ExportOutcome exportCurrentDocument(DocumentSession& s, WorkbookViewer* viewer,
                                    const MessageSink& show, const QDateTime& now);

}  // namespace vantorix
