#include "results/ExportToExcel.h"

#include <gtest/gtest.h>

#include "results/ExportRecordingSpreadsheet.h"
#include "results/ExportTestDocument.h"

using namespace vantorix;
using vantorix::test::document;
using vantorix::test::fillHeader;
using vantorix::test::fillReadings;
using Kind = ExportCell::Kind;

namespace {

struct ExportRun {
    std::shared_ptr<SpreadsheetRecord> record = std::make_shared<SpreadsheetRecord>();
    QStringList messages;
    ExportOutcome outcome;
};

// shownSets: the set count the window shows.
ExportRun exportWith(const PlateDocument& d, int shownSets = 0, RecordingFailures failures = {}) {
    ExportRun run;
    run.outcome = ExportToExcel(d, shownSets, recordingSpreadsheet(run.record, failures),
                                [&](const QString& m) { run.messages << m; });
    return run;
}

ExportCell text(const char* t) {
    return {Kind::Text, QString::fromUtf8(t), 0};
}
ExportCell integer(double v) {
    return {Kind::Integer, {}, v};
}
ExportCell number(double v) {
    return {Kind::Number, {}, v};
}

void expectCell(const SpreadsheetRecord& rec, int sheet, int row, int column,
                const ExportCell& expected) {
    const ExportCell* got = rec.cell(sheet, row, column);
    ASSERT_NE(got, nullptr) << "sheet " << sheet << " row " << row << " column " << column;
    EXPECT_EQ(*got, expected) << "sheet " << sheet << " row " << row << " column " << column
                              << " got " << got->text.toStdString() << " " << got->number;
}

}  // namespace

TEST(ExportToExcel, OneSetDocumentFillsHeaderSetLineAndPlateRowsOnBothSheets) {
    PlateDocument d = document(1, 1);
    const ExportRun run = exportWith(d);

    EXPECT_TRUE(run.outcome.ok());
    EXPECT_TRUE(run.messages.isEmpty());
    EXPECT_EQ(run.record->operations,
              QStringList({"create", "setCaption", "addWorkbook", "setVisible", "release"}));
    EXPECT_EQ(run.record->caption, "Excel for OV's Vantorix");
    EXPECT_TRUE(run.record->visible);
    EXPECT_EQ(run.outcome.documentSetCount, 1);
    const char* header[][2] = {{"Date: ", "3/14/2024"},
                               {"Time: ", "9:05:07 AM"},
                               {"Operator: ", "Ines\tK"},
                               {"Plate No: ", "0042"},
                               {"Notes: ", "=1+2; pH 7 _x0041_"},
                               {"Test: ", "ATP, batch \"7\" _x005F_x"},
                               {"Extra Sensitivity Option: ", "On"}};
    for (int sheet = 1; sheet <= 2; ++sheet) {
        EXPECT_EQ(run.record->usedRows(sheet), 18);
        EXPECT_EQ(run.record->sheets[sheet - 1].size(), 14u + 97u);
        for (int row = 1; row <= 7; ++row) {
            expectCell(*run.record, sheet, row, 1, text(header[row - 1][0]));
            expectCell(*run.record, sheet, row, 2, text(header[row - 1][1]));
        }
        expectCell(*run.record, sheet, 10, 1, text("Set: 1"));
    }
    // Plate row B, column 3 of set 1 sits on row 12, column 3: reading 1203, time 15.
    expectCell(*run.record, 1, 12, 3, number(1203 - 280));
    expectCell(*run.record, 2, 12, 3, number(15));
    expectCell(*run.record, 1, 18, 12, number(1812 - 280));
}

TEST(ExportToExcel, CellRulesOfTheReadingsAndTimesSheets) {
    const struct {
        std::optional<double> value, time;
        ExportCell readings;
        ExportCell times;
    } cases[] = {
        {280, 4, number(0), number(4)},
        {279, 4, integer(0), number(4)},
        {279.9, 4, integer(0), number(4)},
        {0, 4, integer(0), number(4)},
        {std::nullopt, 4, text("X"), text("X")},
        {std::nullopt, std::nullopt, text("X"), text("X")},
        {1000, std::nullopt, number(720), number(-1)},  // a reading without a time
        {1000.5, 12, number(720.5), number(12)},
        {1473000, 7, number(1473000 - 280), number(7)},
        {1473000.5, 7, text("sat"), number(7)},
        {2000000, 1003, text("sat"), number(1003)},
    };
    for (const auto& c : cases) {
        PlateDocument d = document(1, 1);
        test::setWell(d, 1, 3, 5, c.value, c.time);
        const ExportRun run = exportWith(d);
        SCOPED_TRACE(c.value.value_or(-1));
        expectCell(*run.record, 1, 13, 5, c.readings);
        expectCell(*run.record, 2, 13, 5, c.times);
    }
}

TEST(ExportToExcel, SetCountFromTheDocumentDecidesHowManySetsAreWritten) {
    const struct {
        std::optional<int> sets;  // none: the file's count is no number
        int setCount;
        int usedRows;
    } cases[] = {{0, 0, 7},  {2, 2, 28}, {std::nullopt, 0, 7},
                 {3, 3, 38}, {-4, 0, 7}, {300, 255, 2558}};
    for (const auto& c : cases) {
        PlateDocument d = document(c.sets, 3);
        const ExportRun run = exportWith(d, 9);
        SCOPED_TRACE(c.sets.value_or(-99));
        EXPECT_TRUE(run.outcome.ok());
        EXPECT_EQ(run.outcome.documentSetCount, c.setCount);
        EXPECT_EQ(run.record->usedRows(1), c.usedRows);
        EXPECT_EQ(run.record->usedRows(2), c.usedRows);
        if (c.setCount != 3) continue;
        // Every set takes ten rows, each with its own readings and times.
        EXPECT_EQ(run.record->cellWrites, 2 + 2 * (14 + 3 * 97));
        for (int sheet = 1; sheet <= 2; ++sheet) {
            expectCell(*run.record, sheet, 20, 1, text("Set: 2"));
            expectCell(*run.record, sheet, 30, 1, text("Set: 3"));
            EXPECT_EQ(run.record->cell(sheet, 29, 1), nullptr);
        }
        expectCell(*run.record, 1, 21, 1, number(2101 - 280));
        expectCell(*run.record, 1, 31, 1, number(3101 - 280));
        expectCell(*run.record, 2, 38, 12, number(30 + 8 + 12));
    }
}

TEST(ExportToExcel, FailedHeaderCheckWritesTheSetsFromRowThreeWithTheWindowsSetCount) {
    PlateDocument d;
    fillReadings(d, 2);
    d.fromFile = true;  // but not recognised: its format id is "a"
    const ExportRun run = exportWith(d, 2);

    EXPECT_TRUE(run.outcome.ok());
    EXPECT_TRUE(run.outcome.headerMissing);
    EXPECT_EQ(run.messages, QStringList({"error cmdInsertDataIntoMicrosoftExcel"}));
    EXPECT_EQ(run.outcome.documentSetCount, std::nullopt);
    for (int sheet = 1; sheet <= 2; ++sheet) {
        expectCell(*run.record, sheet, 3, 1, text("Set: 1"));
        expectCell(*run.record, sheet, 13, 1, text("Set: 2"));
        EXPECT_EQ(run.record->usedRows(sheet), 21);
        EXPECT_EQ(run.record->cell(sheet, 1, 1), nullptr);
    }
    expectCell(*run.record, 1, 4, 1, number(1101 - 280));
}

TEST(ExportToExcel, MissingSheetsAreAddedOnePerMissingIndex) {
    const struct {
        int sheetsInNewWorkbook;
        int added;
    } cases[] = {{0, 2}, {1, 1}, {2, 0}, {3, 0}};
    for (const auto& c : cases) {
        PlateDocument d = document(1, 1);
        const ExportRun run = exportWith(d, 0, {.sheetsInNewWorkbook = c.sheetsInNewWorkbook});
        SCOPED_TRACE(c.sheetsInNewWorkbook);
        if (c.sheetsInNewWorkbook == 0) {
            // Nothing to add a sheet to: a workbook without sheets cannot be written.
            EXPECT_EQ(run.outcome.result, ExportOutcome::Result::CommunicationFailed);
            continue;
        }
        EXPECT_TRUE(run.outcome.ok());
        EXPECT_EQ(run.record->operations.count("addWorksheet"), c.added);
        EXPECT_EQ(run.record->usedRows(2), 18);
        expectCell(*run.record, 2, 10, 1, text("Set: 1"));
    }
}

TEST(ExportToExcel, EachFailureShowsItsOwnMessageAndNothingIsReleased) {
    using R = ExportOutcome::Result;
    const QString broken = kExcelCommunicationMessage;
    const struct {
        const char* name;
        bool validHeader;
        RecordingFailures failures;
        R result;
        QStringList messages;
    } cases[] = {
        {"creation", true, {.creationFails = true}, R::NotFound, {kExcelNotFoundMessage}},
        {"caption", true, {.failAfterCalls = 0}, R::CommunicationFailed, {broken}},
        {"workbook", true, {.failAfterCalls = 1}, R::CommunicationFailed, {broken}},
        {"sheet check", true, {.failAfterCalls = 3}, R::CommunicationFailed, {broken}},
        {"mid set", true, {.failAfterCalls = 200}, R::CommunicationFailed, {broken}},
        {"after header error",
         false,
         {.failAfterCalls = 200},
         R::CommunicationFailed,
         {kExportHeaderErrorMessage, broken}},
    };
    for (const auto& c : cases) {
        PlateDocument d;
        if (c.validHeader) fillHeader(d, 2);
        fillReadings(d, 2);
        const ExportRun run = exportWith(d, 2, c.failures);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run.outcome.result, c.result);
        EXPECT_EQ(run.messages, c.messages);
        EXPECT_FALSE(run.record->released);
    }
}
