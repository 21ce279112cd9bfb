#include "frame/frmMain.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "measurement/GuiDesktopUnderTest.h"

namespace vantorix {
namespace {

using test::DesktopUnderTest;

TEST(frmMain, StartsWithItsCaptionAndTheInstrumentsLineSettings) {
    DesktopUnderTest d;
    EXPECT_EQ(d.frame->windowTitle(),
              "The Vantorix (tm) by Orvexa Labs - Version " + ProgramVersion().text());
    EXPECT_FALSE(d.frame->hasMeasurementWindow());
    EXPECT_FALSE(d.pair.port().isOpen());
}

TEST(frmMain, StoredLineSettingsGiveWayTo2400Baud) {
    test::ScriptedDialogs dialogs;
    sim::PairHarness pair;
    DocumentSession session;
    DataFolders folders;
    MemorySettingsStore settings;
    settings.write("Communication", "Settings", "9600,e,7,2");
    settings.write("Communication", "ComPort", "3");
    frmMain frame(session, folders, settings, pair.port(), pair.scheduler(), dialogs);
    EXPECT_EQ(pair.port().settings(), "2400,n,8,1");
    EXPECT_EQ(pair.port().portNumber(), 3);
    frame.mnuFileNew_Click();
    EXPECT_EQ(pair.port().settings(), "2400,n,8,1");
    EXPECT_TRUE(pair.port().isOpen());
}

TEST(frmMain, FileNewTwiceGivesOneWindowEmptied) {
    DesktopUnderTest d;
    d.newMeasurement();
    auto* operatorField = d.control<QLineEdit>("txtOperator");
    EXPECT_EQ(operatorField->text(), "");
    QTest::keyClicks(operatorField, "Ann");
    QTest::keyClicks(d.control<QLineEdit>("txtTest"), "ATP");
    PlateDocument opened;
    opened.fromFile = true;
    opened.header.setsText = "2";
    d.session.replaceDocument(opened);
    d.newMeasurement();
    EXPECT_EQ(d.frame->findChildren<frmZyvora*>().size(), 1);
    EXPECT_EQ(d.frame->findChildren<QMdiSubWindow*>().size(), 1);
    EXPECT_EQ(operatorField->text(), "");
    EXPECT_EQ(d.control<QLineEdit>("txtTest")->text(), "");
    EXPECT_FALSE(d.session.document().fromFile);
    EXPECT_EQ(d.session.document().header.setsText, "");
    EXPECT_TRUE(d.session.canEdit());
    EXPECT_TRUE(d.frame->findChild<frmZyvora*>()->isVisible());
    // The run options dialog is not there yet: its button waits for it.
    auto* options = d.control<QPushButton>("cmdOptions");
    EXPECT_FALSE(options->isEnabled());
    d.frame->findChild<frmZyvora*>()->setOptionsHandler([] {});
    EXPECT_TRUE(options->isEnabled());
}

// Closed with its own button, idle or mid-run, the measurement window comes back whole with
// File > New, and runs again.
TEST(frmMain, AMeasurementWindowClosedByItsOwnButtonComesBackWhole) {
    for (bool midRun : {false, true}) {
        SCOPED_TRACE(midRun);
        DesktopUnderTest d;
        frmZyvora& w = d.newMeasurement();
        d.selectRows(1);
        auto* start = d.control<QPushButton>("cmdStartCancel");
        if (midRun) {
            QTest::mouseClick(start, Qt::LeftButton);
            ASSERT_TRUE(d.runUntil([&] { return w.runSequence().unfinishedReadings() > 0; }));
        }
        d.dialogs.choiceAnswers = {0};  // close, keeping the readings taken
        d.frame->findChild<QMdiSubWindow*>()->close();
        ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
        DesktopUnderTest::settle();
        ASSERT_FALSE(w.isVisible());

        d.newMeasurement();
        for (const char* name : {"txtOperator", "grdResults", "cmdStartCancel"})
            EXPECT_TRUE(d.control<QWidget>(name)->isVisible()) << name;
        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_EQ(start->text(), "&Cancel");
        ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
        EXPECT_EQ(w.runSequence().outcome(), RunOutcome::Completed);
    }
}

TEST(frmMain, FileNewReportsAPortThatCannotBeOpened) {
    DesktopUnderTest d;
    d.pair.line().close();  // the line is gone: opening fails
    d.newMeasurement();
    ASSERT_EQ(d.dialogs.texts("warn").size(), 1);
    EXPECT_TRUE(d.dialogs.texts("warn")[0].contains("could not be opened"));
    EXPECT_FALSE(d.pair.port().isOpen());
    EXPECT_TRUE(d.frame->findChild<frmZyvora*>()->isVisible());
}

TEST(frmMain, EntriesOfLaterDialogsStayDisabledUntilFilled) {
    DesktopUnderTest d;
    using E = frmMain::Entry;
    int called = 0;
    for (E e : {E::FileOpen, E::Communications, E::Options, E::DownloadFirmware, E::About}) {
        QAction* action = d.frame->entryAction(e);
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
        d.frame->setEntryHandler(e, [&called] { ++called; });
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
        action->trigger();
    }
    EXPECT_EQ(called, 5);
    EXPECT_EQ(d.control<QAction>("mnuFileNew")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(d.control<QAction>("mnuFileOpen")->shortcut(), QKeySequence("Ctrl+O"));
}

TEST(frmMain, ShutDownStoresTheRunDefaults) {
    DesktopUnderTest d;
    d.frame->runDefaults().Repeats = 7;
    EXPECT_TRUE(d.frame->close());
    EXPECT_EQ(d.settings.value("Options", "Repeats"), "7");
}

}  // namespace
}  // namespace vantorix
