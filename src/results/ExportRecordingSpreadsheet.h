// A spreadsheet program in memory that records what the export did, with injectable
// failures; used by tests and benchmarks.
#pragma once

#include <QStringList>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "results/ExportCells.h"
#include "results/ExportSpreadsheet.h"

namespace vantorix {

struct SpreadsheetRecord {
    // Every operation except cell writes and sheet lookups, in order: "create",
    // "setCaption", "addWorkbook", "setVisible", "addWorksheet", "release".
    QStringList operations;
    QString caption;
    bool visible = false;
    bool released = false;
    int cellWrites = 0;
    // Sheets of the workbook (index 0 is sheet 1); a cell maps (row, column) to its value.
    // Writing the empty text clears a cell, as it does in a spreadsheet.
    std::vector<std::map<std::pair<int, int>, ExportCell>> sheets;

    const ExportCell* cell(int sheet, int row, int column) const;
    // Highest row holding a cell on the sheet, 0 for an empty sheet.
    int usedRows(int sheet) const;
};

struct RecordingFailures {
    bool creationFails = false;
    // Every call after this many (counting all calls on the application and its sheets)
    // fails; -1 never.
    int failAfterCalls = -1;
    int sheetsInNewWorkbook = 3;
};

SpreadsheetFactory recordingSpreadsheet(std::shared_ptr<SpreadsheetRecord> record,
                                        RecordingFailures failures = {});

}  // namespace vantorix
