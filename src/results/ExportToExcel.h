// "Save to Excel": writes the current document into a new workbook of a spreadsheet program,
// readings on sheet 1 and times on sheet 2, each under the same header block.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "results/ExportSpreadsheet.h"

namespace vantorix {

struct ProgramState;

inline const QString kExcelNotFoundMessage = QStringLiteral(
    "Microsoft Excel can not be found on this machine.  Please install and try again.");
inline const QString kExcelCommunicationMessage = QStringLiteral(
    "Microsoft Excel was found but can not communicate to it properly.  Please "
    "re-install and try again.");
inline const QString kExportHeaderErrorMessage =
    QStringLiteral("error cmdInsertDataIntoMicrosoftExcel");
inline const QString kExcelCaption = QStringLiteral("Excel for OV's Vantorix");

// Shows one message to the user (a message box with OK in the desktop program).
using MessageSink = std::function<void(const QString& message)>;

struct ExportOutcome {
    enum class Result { Done, NotFound, CommunicationFailed };
    Result result = Result::Done;
    bool headerMissing = false;  // the header check failed; the sets were written without it
    QString detail;              // the backend's reason for a failure, when it gave one
    // The set count the document's header gives; the window takes it as its SetCount.
    std::optional<qint16> documentSetCount;
    bool ok() const { return result == Result::Done; }
};

// Writes the document into a new workbook of the program `startSpreadsheet` starts. Every
// message goes to `show` as it arises; the outcome repeats what happened for the caller.
// It only reads the document.
ExportOutcome ExportToExcel(const ProgramState& s, const SpreadsheetFactory& startSpreadsheet,
                            const MessageSink& show);

// The window's set count follows the exported document's (see documentSetCount).
void takeDocumentSetCount(ProgramState& s, const ExportOutcome& outcome);

}  // namespace vantorix
