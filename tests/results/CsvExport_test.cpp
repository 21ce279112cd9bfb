#include "results/CsvExport.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

#include "results/ExportTestDocument.h"
#include "results/ExportWorkbookReader.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {
// A record as the csv module read it: quoted text as is, an unquoted number as "#" and the
// number.
QStringList shown(const std::vector<ReadCell>& record) {
    QStringList out;
    for (const ReadCell& f : record)
        out << (f.type == "str" ? f.value.toString()
                                : "#" + QString::number(f.value.toDouble(), 'f',
                                                        QLocale::FloatingPointShortest));
    return out;
}
}  // namespace

TEST(CsvExport, EveryTextIsQuotedAndTextThatLooksLikeAFormulaGetsAnApostrophe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {{"plain", "\"plain\""},
                 {"", "\"\""},
                 {"a,b", "\"a,b\""},
                 {"pH 7; 25 °C", "\"pH 7; 25 °C\""},
                 {"Ann\tLee", "\"Ann\tLee\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\nlines", "\"two\nlines\""},
                 {"a=b", "\"a=b\""},
                 {"=1+2", "\"'=1+2\""},
                 {"+1", "\"'+1\""},
                 {"-5", "\"'-5\""},
                 {"@SUM(A1)", "\"'@SUM(A1)\""},
                 {"\tx", "\"'\tx\""},
                 {"\rx", "\"'\rx\""},
                 {"=HYPERLINK(\"h\")", "\"'=HYPERLINK(\"\"h\"\")\""}};
    for (const auto& c : cases) EXPECT_EQ(csvField(c.text), c.field) << c.text;
}

TEST(CsvExport, ThreeSetFileHoldsEachSetsOwnReadingsAndTimesAndReadsBackWhole) {
    // The decimal separator is "." whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    PlateDocument d = document(3, 3);
    setEdgeReadings(d);
    setWell(d, 1, 1, 6, 1000280, 150000);
    const QString path = dir.filePath("three.csv");
    const CsvExportResult result = WriteCsvExport(d, 0, path);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(result.headerMissing);

    const QStringList lines = QString::fromUtf8(readFileBytes(path)).split("\r\n");
    ASSERT_EQ(lines.size(), 9 + 3 * 18 + 2 + 1);  // the last line end leaves ""
    const std::pair<int, const char*> expected[] = {
        {0, "\"Date: \",\"3/14/2024\""},
        {2, "\"Operator: \",\"Ines\tK\""},
        {4, "\"Notes: \",\"'=1+2; pH 7 _x0041_\""},
        {5, "\"Test: \",\"ATP, batch \"\"7\"\" _x005F_x\""},
        {6, "\"Extra Sensitivity Option: \",\"On\""},
        {7, ""},
        {9, "\"Set: 1\""},
        {10, "0,0,\"X\",\"sat\",720.25,1000000,827,828,829,830,831,832"},
        {17, "1521,1522,1523,1524,1525,1526,1527,1528,1529,1530,1531,1532"},
        {18, "\"Times: 1\""},
        {19, "0,1,\"X\",9,12,150000,18,19,20,21,22,23"},
        {26, "19,20,21,22,23,24,25,26,27,28,29,30"},
        {27, ""},
        {28, "\"Set: 2\""},
        {29, "1821,1822,1823,1824,1825,1826,1827,1828,1829,1830,1831,1832"},
        {37, "\"Times: 2\""},
        {38, "22,23,24,25,26,27,28,29,30,31,32,33"},
        {47, "\"Set: 3\""},
        {55, "3521,3522,3523,3524,3525,3526,3527,3528,3529,3530,3531,3532"},
        {57, "32,33,34,35,36,37,38,39,40,41,42,43"},
        {64, "39,40,41,42,43,44,45,46,47,48,49,50"},
    };
    for (const auto& [line, text] : expected)
        EXPECT_EQ(lines[line].toStdString(), text) << "line " << line;

    // A real reader keeps every text whole and finds numbers only where numbers were written.
    const auto records = readCsv(path);
    ASSERT_EQ(records.size(), 65u);
    EXPECT_EQ(shown(records[2]), QStringList({"Operator: ", "Ines\tK"}));
    EXPECT_EQ(shown(records[4]), QStringList({"Notes: ", "'=1+2; pH 7 _x0041_"}));
    EXPECT_EQ(shown(records[5]), QStringList({"Test: ", "ATP, batch \"7\" _x005F_x"}));
    EXPECT_EQ(shown(records[10]), QStringList({"#0", "#0", "X", "sat", "#720.25", "#1000000",
                                               "#827", "#828", "#829", "#830", "#831", "#832"}));
    EXPECT_EQ(shown(records[47]), QStringList({"Set: 3"}));
    EXPECT_TRUE(records[27].empty());
}

TEST(CsvExport, FailedHeaderCheckStartsWithTheSetsAndSetsAreSeparatedByAnEmptyRecord) {
    PlateDocument d;
    fillReadings(d, 2);
    bool headerMissing = false;
    const auto records = csvExportRecords(d, 2, headerMissing);
    EXPECT_TRUE(headerMissing);
    ASSERT_EQ(records.size(), 2u + 2 * 18 + 1);
    EXPECT_TRUE(records[0].isEmpty());
    EXPECT_TRUE(records[1].isEmpty());
    EXPECT_EQ(records[2], QStringList({"\"Set: 1\""}));
    EXPECT_TRUE(records[20].isEmpty());
    EXPECT_EQ(records[21], QStringList({"\"Set: 2\""}));
    EXPECT_EQ(records[21 + 9], QStringList({"\"Times: 2\""}));
}
