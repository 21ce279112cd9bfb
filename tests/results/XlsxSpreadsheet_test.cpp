#include "results/XlsxSpreadsheet.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "plate/DocumentSession.h"
#include "results/ExportCurrentDocument.h"
#include "results/ExportTestDocument.h"
#include "results/ExportToExcel.h"
#include "results/ExportWorkbookReader.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

struct Exported {
    ExportOutcome outcome;
    QStringList messages;
};

Exported exportTo(const PlateDocument& d, const QString& path, WorkbookViewer* viewer = nullptr) {
    Exported e;
    e.outcome = ExportToExcel(d, 0, xlsxSpreadsheet(path, viewer),
                              [&](const QString& m) { e.messages << m; });
    return e;
}

void expectNumber(const ReadSheet& sheet, int row, int column, double value) {
    const ReadCell cell = sheet.at(row, column);
    EXPECT_TRUE(cell.type == "int" || cell.type == "float")
        << "row " << row << " column " << column << " holds " << cell.type.toStdString();
    EXPECT_DOUBLE_EQ(cell.value.toDouble(), value) << "row " << row << " column " << column;
}

void expectText(const ReadSheet& sheet, int row, int column, const QString& text) {
    const ReadCell cell = sheet.at(row, column);
    EXPECT_EQ(cell.type, "str") << "row " << row << " column " << column;
    EXPECT_EQ(cell.value.toString(), text) << "row " << row << " column " << column;
}

class ViewerStub : public WorkbookViewer {
  public:
    bool hasProgram = true;
    bool opens = true;
    QStringList opened;
    bool available() const override { return hasProgram; }
    bool open(const QString& path) override {
        opened << path;
        return opens;
    }
};

}  // namespace

TEST(XlsxSpreadsheet, OneSetWorkbookReadsBackWithNumbersAsNumbersAndTextAsText) {
    QTemporaryDir dir;
    PlateDocument d = document(1, 1);
    setEdgeReadings(d);
    const QString path = dir.filePath("one.xlsx");
    const Exported e = exportTo(d, path);
    ASSERT_TRUE(e.outcome.ok()) << e.outcome.detail.toStdString();

    const auto sheets = readWorkbook(path);
    ASSERT_EQ(sheets.size(), 2u);
    for (const ReadSheet& sheet : sheets) {
        SCOPED_TRACE(sheet.name.toStdString());
        EXPECT_EQ(sheet.usedRows(), 18);
        expectText(sheet, 2, 2, "9:05:07 AM");
        expectText(sheet, 4, 2, "0042");  // header values stay text, leading zero and all
        // Text stays text, exactly as stored: no formula.
        expectText(sheet, 3, 2, "Ines\tK");
        expectText(sheet, 5, 2, "=1+2; pH 7 _x0041_");
        expectText(sheet, 10, 1, "Set: 1");
        expectText(sheet, 11, 3, "X");
        EXPECT_TRUE(sheet.at(9, 1).type.isEmpty());
    }
    // "_xHHHH_" in a text is the format's escape; a literal one must read back unchanged.
    const QStringList texts = workbookTexts(path);
    EXPECT_TRUE(texts.contains("=1+2; pH 7 _x0041_")) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts.contains("ATP, batch \"7\" _x005F_x")) << texts.join(" | ").toStdString();
    const ReadSheet& readings = sheets[0];
    expectNumber(readings, 11, 1, 0);
    expectNumber(readings, 11, 2, 0);
    expectText(readings, 11, 4, "sat");
    expectNumber(readings, 11, 5, 720.25);
    expectNumber(readings, 18, 12, 1812 - 280);
    const ReadSheet& times = sheets[1];
    expectNumber(times, 11, 1, 0);
    expectNumber(times, 11, 4, 9);
    expectNumber(times, 18, 12, 10 + 8 + 12);
}

TEST(XlsxSpreadsheet, AFailedExportLeavesTheExistingFileAndNoLeftovers) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.xlsx");
    writeFileBytes(path, "previous workbook");
    PlateDocument d;
    // A cell holds at most 32767 characters, so this export cannot be written.
    fillHeader(d, 1);
    d.header.notes = QString(40000, u'n');
    const Exported e = exportTo(d, path);
    EXPECT_EQ(e.outcome.result, ExportOutcome::Result::CommunicationFailed);
    EXPECT_EQ(e.messages, QStringList({kExcelCommunicationMessage}));
    EXPECT_FALSE(e.outcome.detail.isEmpty());
    EXPECT_EQ(readFileBytes(path), "previous workbook");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"keep.xlsx"}));

    const Exported noFolder = exportTo(d, dir.filePath("missing/out.xlsx"));
    EXPECT_EQ(noFolder.outcome.result, ExportOutcome::Result::CommunicationFailed);
}

TEST(XlsxSpreadsheet, TheViewerDecidesBetweenNotFoundAndCommunicationFailure) {
    QTemporaryDir dir;
    PlateDocument d = document(1, 1);

    ViewerStub none;
    none.hasProgram = false;
    Exported e = exportTo(d, dir.filePath("a.xlsx"), &none);
    EXPECT_EQ(e.messages, QStringList({kExcelNotFoundMessage}));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.xlsx")));

    ViewerStub refuses;
    refuses.opens = false;
    e = exportTo(d, dir.filePath("b.xlsx"), &refuses);
    EXPECT_EQ(e.messages, QStringList({kExcelCommunicationMessage}));

    ViewerStub viewer;
    e = exportTo(d, dir.filePath("c.xlsx"), &viewer);
    EXPECT_TRUE(e.outcome.ok());
    EXPECT_EQ(viewer.opened, QStringList({dir.filePath("c.xlsx")}));
    EXPECT_EQ(readWorkbook(dir.filePath("c.xlsx")).size(), 2u);
}

TEST(XlsxSpreadsheet, SaveToExcelWritesANewFileInThePerUserTemporaryFolder) {
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    DocumentSession shown;
    shown.replaceDocument(document(1, 1));
    shown.setPath("C:\\plates\\Run: 7.ovd");
    // A one-dataset run shows no set browser (no sets); the window takes the file's.
    const QDateTime now(QDate(2024, 3, 14), QTime(9, 5, 7));
    ViewerStub viewer;
    const ExportOutcome first = exportCurrentDocument(shown, &viewer, {}, now);
    const ExportOutcome second = exportCurrentDocument(shown, &viewer, {}, now);
    qputenv("TMPDIR", oldTmp);

    EXPECT_TRUE(first.ok());
    EXPECT_TRUE(second.ok());
    EXPECT_EQ(shown.setCount(), 1);
    const QString folder = tmp.path() + "/vantorix-export";
    EXPECT_EQ(viewer.opened, QStringList({folder + "/Run_ 7 2024-03-14 09-05-07.xlsx",
                                          folder + "/Run_ 7 2024-03-14 09-05-07 (2).xlsx"}));
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther), 0);
    EXPECT_EQ(readWorkbook(viewer.opened.value(1)).size(), 2u);

    QStringList told;
    exportCurrentDocument(
        shown, nullptr, [&](const QString& m) { told << m; }, now);
    EXPECT_EQ(told, QStringList({kExcelNotFoundMessage}));
}
