#include "results/CsvExport.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

#include "frame/ProgramState.h"
#include "results/ExportTestDocument.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {{"plain", "plain"},
                 {"", ""},
                 {"a,b", "\"a,b\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\nlines", "\"two\nlines\""},
                 {"cr\r", "\"cr\r\""},
                 {"Set: 1", "Set: 1"}};
    for (const auto& c : cases) EXPECT_EQ(csvField(c.text), c.field) << c.text;
}

TEST(CsvExport, OneSetFileHoldsHeaderReadingsAndTimesWithTheWorkbooksCellRules) {
    // The decimal separator is "." whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    ProgramState s;
    fillHeader(s, "1");
    fillReadings(s, 1);
    s.readings.at(1, 1, 1) = {"280", "0"};
    s.readings.at(1, 1, 2) = {"279", "1"};
    s.readings.at(1, 1, 3) = {"-1", "-1"};
    s.readings.at(1, 1, 4) = {"1473001", "9"};
    s.readings.at(1, 1, 5) = {"1000.25", "12"};
    const QString path = dir.filePath("one.csv");
    const CsvExportResult result = WriteCsvExport(s, path);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(result.headerMissing);

    const QStringList lines = QString::fromUtf8(readFileBytes(path)).split("\r\n");
    ASSERT_EQ(lines.size(), 7 + 2 + 1 + 8 + 1 + 8 + 1);  // the last line end leaves ""
    EXPECT_EQ(lines[0], "Date: ,3/14/2024");
    EXPECT_EQ(lines[5], "Test: ,\"ATP, batch \"\"7\"\"\"");
    EXPECT_EQ(lines[6], "Extra Sensitivity Option: ,On");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], "Set: 1");
    EXPECT_EQ(lines[10], "0,0,X,sat,720.25,826,827,828,829,830,831,832");
    EXPECT_EQ(lines[17], "1521,1522,1523,1524,1525,1526,1527,1528,1529,1530,1531,1532");
    EXPECT_EQ(lines[18], "Times: 1");
    EXPECT_EQ(lines[19], "0,1,X,9,12,17,18,19,20,21,22,23");
    EXPECT_EQ(lines[26], "19,20,21,22,23,24,25,26,27,28,29,30");
    EXPECT_EQ(lines[27], "");
}

TEST(CsvExport, FailedHeaderCheckStartsWithTheSetsAndSetsAreSeparatedByAnEmptyRecord) {
    ProgramState s;
    s.SetCount = 2;
    fillReadings(s, 2);
    bool headerMissing = false;
    const auto records = csvExportRecords(s, headerMissing);
    EXPECT_TRUE(headerMissing);
    ASSERT_EQ(records.size(), 2u + 2 * 18 + 1);
    EXPECT_TRUE(records[0].isEmpty());
    EXPECT_TRUE(records[1].isEmpty());
    EXPECT_EQ(records[2], QStringList({"Set: 1"}));
    EXPECT_TRUE(records[20].isEmpty());
    EXPECT_EQ(records[21], QStringList({"Set: 2"}));
    EXPECT_EQ(records[21 + 9], QStringList({"Times: 2"}));
}
