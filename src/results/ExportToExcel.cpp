#include "results/ExportToExcel.h"

#include <array>

#include "results/ExportCells.h"

namespace vantorix {

namespace {

constexpr int kReadingsSheet = 1;
constexpr int kTimesSheet = 2;

// Each cell goes out with its own sheet lookup, so a workbook changed under us fails cleanly.
bool writeCell(SpreadsheetApp& app, int sheet, int row, int column, const ExportCell& cell) {
    SpreadsheetSheet* ws = app.worksheet(sheet);
    if (!ws) return false;
    switch (cell.kind) {
        case ExportCell::Kind::Text:
            return ws->setText(row, column, cell.text);
        case ExportCell::Kind::Integer:
            return ws->setInteger(row, column, static_cast<qint64>(cell.number));
        case ExportCell::Kind::Number:
            return ws->setNumber(row, column, cell.number);
    }
    return false;
}

bool writeText(SpreadsheetApp& app, int sheet, int row, int column, const QString& text) {
    return writeCell(app, sheet, row, column, {ExportCell::Kind::Text, text, 0});
}

// A new workbook may come with a single sheet: touch sheets 1 and 2 and add whatever is
// missing, one sheet per missing index.
bool ensureTwoSheets(SpreadsheetApp& app) {
    for (int i = kReadingsSheet; i <= kTimesSheet; ++i) {
        if (writeText(app, i, 1, 1, QString())) continue;
        for (int missing = i; missing <= kTimesSheet; ++missing)
            if (!app.addWorksheet()) return false;
        return true;
    }
    return true;
}

// Rows written so far on each sheet; index 0 unused.
using RowCounters = std::array<int, 3>;

bool writeHeader(SpreadsheetApp& app, const PlateHeader& header, RowCounters& rows) {
    const auto lines = exportHeaderLines(header);
    for (int sheet = kReadingsSheet; sheet <= kTimesSheet; ++sheet) {
        int& row = rows[sheet];
        row += 1;
        for (int i = 0; i < kExportHeaderLines; ++i) {
            if (!writeText(app, sheet, row, 1, lines[i].label)) return false;
            if (!writeText(app, sheet, row, 2, lines[i].value)) return false;
            if (i + 1 < kExportHeaderLines) row += 1;
        }
    }
    return true;
}

bool writeSets(SpreadsheetApp& app, const PlateDocument& d, int sets, RowCounters& rows) {
    for (int sheet = kReadingsSheet; sheet <= kTimesSheet; ++sheet) {
        const auto rule = sheet == kReadingsSheet ? readingCell : timeCell;
        int& row = rows[sheet];
        row += 2;
        for (int k = 1; k <= sets; ++k) {
            row += 1;
            if (!writeText(app, sheet, row, 1, exportSetLine(k))) return false;
            row += 1;
            for (int r = 1; r <= kPlateRows; ++r) {
                for (int c = 1; c <= kPlateColumns; ++c)
                    if (!writeCell(app, sheet, row, c, rule(d.reading(k, r, c)))) return false;
                row += 1;
            }
        }
    }
    return true;
}

bool fillWorkbook(const PlateDocument& d, int shownSets, SpreadsheetApp& app,
                  const MessageSink& show, ExportOutcome& outcome) {
    if (!app.setCaption(kExcelCaption) || !app.addWorkbook() || !app.setVisible(true)) return false;
    if (!ensureTwoSheets(app)) return false;
    RowCounters rows{0, 0, 0};
    const ExportDocument doc = readExportDocument(d, shownSets);
    if (doc.header) {
        outcome.documentSetCount = static_cast<qint16>(doc.sets);
        if (!writeHeader(app, *doc.header, rows)) return false;
    } else {
        outcome.headerMissing = true;
        show(kExportHeaderErrorMessage);
    }
    return writeSets(app, d, doc.sets, rows);
}

}  // namespace

ExportOutcome ExportToExcel(const PlateDocument& d, int shownSets,
                            const SpreadsheetFactory& startSpreadsheet, const MessageSink& show) {
    const MessageSink say = show ? show : [](const QString&) {};
    ExportOutcome outcome;
    std::unique_ptr<SpreadsheetApp> app = startSpreadsheet ? startSpreadsheet() : nullptr;
    if (!app) {
        outcome.result = ExportOutcome::Result::NotFound;
        say(kExcelNotFoundMessage);
        return outcome;
    }
    if (!fillWorkbook(d, shownSets, *app, say, outcome) || !app->release()) {
        outcome.result = ExportOutcome::Result::CommunicationFailed;
        outcome.detail = app->failureDetail();
        say(kExcelCommunicationMessage);
    }
    return outcome;
}

}  // namespace vantorix
