// vantorix-cli export, run as a program on data files written by the program's own writer.
#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "results/ExportTestDocument.h"
#include "results/ExportWorkbookReader.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(ExportCli, WritesTheWorkbookAndTheCsvOfADataFile) {
    QTemporaryDir dir;
    writeTwoSetRun(dir.path());
    const CliResult r =
        runCli({"export", "plate.ovd", "--xlsx", "out.xlsx", "--csv", "out.csv"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    // The cell rules are ExportToExcel's and CsvExport's tests: here, that both files hold this
    // document's header and both sets.
    const auto sheets = readWorkbook(dir.filePath("out.xlsx"));
    ASSERT_EQ(sheets.size(), 2u);
    for (const ReadSheet& sheet : sheets) {
        EXPECT_EQ(sheet.usedRows(), 28);
        EXPECT_EQ(sheet.at(3, 2).value.toString(), "Ines");
        EXPECT_EQ(sheet.at(20, 1).value.toString(), "Set: 2");
    }
    EXPECT_EQ(sheets[0].at(11, 2).value.toString(), "sat");
    EXPECT_DOUBLE_EQ(sheets[1].at(11, 2).value.toDouble(), 3);
    const QString csv = QString::fromUtf8(readFileBytes(dir.filePath("out.csv")));
    EXPECT_TRUE(csv.contains("\r\n\"Notes: \",\"first, second\"\r\n")) << csv.toStdString();
    EXPECT_TRUE(csv.contains("\r\n\"Set: 2\"\r\n"));
}

TEST(ExportCli, AnUnrecognisedDocumentIsWrittenWithoutItsHeaderAndSaysSo) {
    QTemporaryDir dir;
    writeTwoSetRun(dir.path());
    QByteArray bytes = readFileBytes(dir.filePath("plate.ovd"));
    bytes.replace("<name>The Vantorix</name>", "<name>Another</name>");
    writeFileBytes(dir.filePath("other.ovd"), bytes);

    const CliResult r = runCli({"export", "other.ovd", "--xlsx", "out.xlsx"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("error cmdInsertDataIntoMicrosoftExcel")) << r.err.toStdString();
    const auto sheets = readWorkbook(dir.filePath("out.xlsx"));
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].at(3, 1).value.toString(), "Set: 1");
}

TEST(ExportCli, BadInputGetsAClearMessageAndWritesNothing) {
    QTemporaryDir dir;
    writeTwoSetRun(dir.path());
    writeFileBytes(dir.filePath("broken.ovd"), "<orvexa-labs-format><data></dat>");
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"export", "plate.ovd"}, 2, "--long-csv OUT or --png OUT"},
        {{"export", "--xlsx", "a.xlsx"}, 2, "FILE is missing"},
        {{"export", "plate.ovd", "--xlsx"}, 2, "needs an output file"},
        {{"export", "plate.ovd", "--pdf", "a.pdf"}, 2, "unknown option"},
        {{"export", "absent.ovd", "--xlsx", "a.xlsx"}, 1, "absent.ovd"},
        {{"export", "broken.ovd", "--xlsx", "a.xlsx"}, 1, ""},
        {{"export", "plate.ovd", "--xlsx", "no/such/a.xlsx"}, 1, "cannot write no/such/a.xlsx"},
        {{"export", "plate.ovd", "--csv", "no/such/a.csv"}, 1, "cannot write"},
        {{"export", "plate.ovd", "--long-csv"}, 2, "--long-csv needs an output file"},
        {{"export", "plate.ovd", "--long-csv", "no/such/a.csv"}, 1, "cannot write"},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args, dir.path());
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("a.xlsx")));
    }
}
