// "Save to Excel": writes the current document into a new workbook of a spreadsheet program,
// readings on sheet 1 and times on sheet 2, each under the same header block.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "plate/PlateDocument.h"
#include "results/ExportSpreadsheet.h"

namespace vantorix {

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
    // The set count the document's header gives; the session takes it as its set count.
    std::optional<qint16> documentSetCount;
    bool ok() const { return result == Result::Done; }
};

// Writes the document into a new workbook of the program `startSpreadsheet` starts. Every
// message goes to `show` as it arises; the outcome repeats what happened for the caller.
// It only reads the document; shownSets is the set count the window shows (see
// readExportDocument).
ExportOutcome ExportToExcel(const PlateDocument& d, int shownSets,
                            const SpreadsheetFactory& startSpreadsheet, const MessageSink& show);

}  // namespace vantorix
