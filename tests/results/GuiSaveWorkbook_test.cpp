#include "results/GuiSaveWorkbook.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/GuiDesktopWiring.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "measurement/GuiScriptedDialogs.h"
#include "plate/DocumentSession.h"
#include "results/ExportCurrentDocument.h"
#include "results/ExportTestDocument.h"
#include "results/ExportWorkbookReader.h"

namespace vantorix {
namespace {

// The user is offered the document's name in the data folder; the workbook goes where the
// answer says, or nowhere when the question is cancelled or the folder is missing.
TEST(GuiSaveWorkbook, WritesTheWorkbookWhereTheUserChose) {
    struct Case {
        const char* dataFile;  // relative to the data folder; "" for an unsaved document
        const char* answer;    // relative to the data folder; "" cancels
        const char* proposed;
        bool written;
        const char* warning;
    };
    const Case cases[] = {
        {"Run 7.ovd", "elsewhere/kept.xlsx", "Run 7.xlsx", true, ""},
        {"", "Sample.xlsx", "Sample.xlsx", true, ""},
        {"Run 7.ovd", "", "Run 7.xlsx", false, ""},
        {"Run 7.ovd", "missing/kept.xlsx", "Run 7.xlsx", false,
         "Microsoft Excel was found but can not communicate to it properly.  Please re-install "
         "and try again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("elsewhere"));
        DocumentSession shown;
        shown.replaceDocument(test::document(1, 1));
        shown.setPath(*c.dataFile ? dir.filePath(c.dataFile) : QString());
        test::ScriptedDialogs dialogs;
        const QString answer = *c.answer ? dir.filePath(c.answer) : QString();
        dialogs.fileAnswers.push_back(answer);

        saveWorkbookWhereChosen(shown, DataFolders{dir.path(), {}}, dialogs, nullptr);

        EXPECT_EQ(dialogs.texts("workbook"), QStringList({dir.filePath(c.proposed)}));
        EXPECT_EQ(dialogs.texts("warn"),
                  *c.warning ? QStringList({QString::fromLatin1(c.warning)}) : QStringList());
        EXPECT_EQ(QFile::exists(answer), c.written);
        if (!c.written) continue;
        const auto sheets = test::readWorkbook(answer);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(sheets[0].at(2, 2).value.toString(), "9:05:07 AM");
        EXPECT_EQ(sheets[1].at(10, 1).value.toString(), "Set: 1");
    }
}

// A desktop opener that finds no program for workbooks (xdg-open exits 3): the user is told and
// offered a file of their own choice, where the workbook is then written.
TEST(GuiSaveWorkbook, AnOpenerThatFindsNoProgramLeadsToAFileOfTheUsersChoice) {
    QTemporaryDir bin;
    QFile opener(bin.filePath("xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nexit 3\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

    test::DesktopUnderTest d;
    connectExcelExport(*d.frame);
    frmZyvora& w = d.newMeasurement();
    d.selectRows(1);
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    d.pair.runFor(200);  // the next tick enables the button
    const QString chosen = d.dir.filePath("kept.xlsx");
    d.dialogs.fileAnswers = {chosen};
    QTest::mouseClick(d.control<QPushButton>("cmdInsertDataIntoMicrosoftExcel"), Qt::LeftButton);
    QElapsedTimer waited;
    waited.start();
    while (d.dialogs.texts("yesno").isEmpty() && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    qputenv("PATH", path);
    EXPECT_EQ(d.dialogs.texts("yesno"), QStringList{kNoWorkbookProgramText});
    EXPECT_EQ(test::readWorkbook(chosen).size(), 2u);
}

}  // namespace
}  // namespace vantorix
