#include "measurement/frmZyvora.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "files/OvdLoader.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "measurement/RunJournal.h"
#include "measurement/RunRecovery.h"
#include "measurement/RunTexts.h"
#include "results/CellText.h"
#include "results/GuiResultsGrid.h"

namespace vantorix {
namespace {

using test::DesktopUnderTest;

struct Window {
    DesktopUnderTest& d;
    QPushButton* start = d.control<QPushButton>("cmdStartCancel");
    QPushButton* toggle = d.control<QPushButton>("cmdToggleDataTime");
    QPushButton* excel = d.control<QPushButton>("cmdInsertDataIntoMicrosoftExcel");
    QLabel* status = d.control<QLabel>("StatusLine");
    QLabel* message = d.control<QLabel>("lblErrorMessage");
    QLabel* dataset = d.control<QLabel>("lblDataset");
    QLabel* datasets = d.control<QLabel>("lblDatasets");
    QToolButton* up = d.control<QToolButton>("picSpinUp");
    QToolButton* down = d.control<QToolButton>("picSpinDown");
    QTableWidget* grid = d.control<QTableWidget>("grdResults");
    QStackedWidget* pictures = d.control<QStackedWidget>("picComStatus");
    QFrame* runIndicator = d.control<QFrame>("ComStatusLowRes");
    QAction* firmware = d.control<QAction>("mnuUtilitiesDownloadFirmware");
};

// The run's file read back on its own.
PlateDocument reloadedRun(const DesktopUnderTest& d) {
    PlateDocument reloaded;
    EXPECT_TRUE(LoadDataFile(reloaded, d.dir.path(), d.dir.filePath("Sample.ovd")).ok);
    return reloaded;
}

// The grid against the file read back on its own: every cell of `set` in `mode`.
void expectGridShowsFile(const QTableWidget& grid, const QString& file, int set, GridMode mode,
                         const QString& appFolder) {
    PlateDocument reloaded;
    ASSERT_TRUE(LoadDataFile(reloaded, appFolder, file).ok);
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 12; ++c)
            ASSERT_EQ(wellText(grid, r, c), cellText(reloaded.reading(set, r, c), mode))
                << "set " << set << " row " << r << " column " << c;
}

TEST(frmZyvora, ARunOfThreeDatasetsFromStartToTheReloadedFile) {
    DesktopUnderTest d;
    d.frame->setEntryHandler(frmMain::Entry::DownloadFirmware, [] {});
    frmZyvora& w = d.newMeasurement();
    Window ui{d};
    d.pair.runFor(300);
    EXPECT_TRUE(ui.firmware->isEnabled());
    EXPECT_FALSE(ui.excel->isEnabled());
    EXPECT_EQ(wellText(*ui.grid, 1, 1), "X");  // an empty new document
    EXPECT_FALSE(ui.up->isVisible());

    d.selectRows(2);
    d.session.runOptions().RepeatMode = true;
    d.session.runOptions().Repeats = 3;
    d.session.runOptions().Delay = 10;
    QTest::keyClicks(d.control<QLineEdit>("txtOperator"), "Ann Lee");
    QTest::keyClicks(d.control<QLineEdit>("txtPlateNo"), "P-7");
    QTest::keyClicks(d.control<QLineEdit>("txtNotes"), "x<y");  // "<" is refused
    QTest::mouseClick(ui.start, Qt::LeftButton);
    EXPECT_EQ(ui.start->text(), "&Cancel");

    ASSERT_TRUE(d.runUntil([&] { return ui.status->text() == "Waiting for 1st of 3 datasets"; }));
    EXPECT_TRUE(ui.status->isVisible());
    ASSERT_TRUE(d.runUntil([&] { return ui.message->text().contains("Reading:"); }));
    d.pair.runFor(250);
    EXPECT_TRUE(ui.message->isVisible());
    EXPECT_FALSE(ui.firmware->isEnabled());
    EXPECT_TRUE(ui.runIndicator->isVisible());
    EXPECT_TRUE(ui.pictures->currentWidget()->objectName().startsWith("picComOK"));

    const char* steps[] = {"10 second delay",
                           "Downloading Options for 2nd of 3 datasets",
                           "Waiting for 2nd of 3 datasets",
                           "10 second delay",
                           "Downloading Options for 3rd of 3 datasets",
                           "Waiting for 3rd of 3 datasets"};
    for (const char* step : steps)
        ASSERT_TRUE(d.runUntil([&] { return ui.status->text() == QLatin1String(step); })) << step;
    // The first dataset is on screen while the run goes on: rows A and B read, the rest "X".
    EXPECT_NE(wellText(*ui.grid, 3, 1), "");
    EXPECT_EQ(wellText(*ui.grid, 3, 1), "X");

    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    EXPECT_EQ(w.runSequence().outcome(), RunOutcome::Completed);
    EXPECT_EQ(ui.start->text(), "&Start");
    EXPECT_FALSE(ui.status->isVisible());
    EXPECT_FALSE(ui.message->isVisible());
    const QString file = d.dir.filePath("Sample.ovd");
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_TRUE(d.session.saved());
    EXPECT_EQ(w.windowTitle(), "Sample.ovd");
    EXPECT_EQ(d.session.document().header.operatorName, "Ann Lee");
    EXPECT_EQ(d.session.document().header.notes, "xy");

    // The reloaded document with its set browser.
    EXPECT_EQ(ui.datasets->text(), "3 available");
    EXPECT_EQ(ui.dataset->text(), "1");
    EXPECT_TRUE(ui.up->isVisible());
    expectGridShowsFile(*ui.grid, file, 1, GridMode::Readings, d.dir.path());
    QTest::mouseClick(ui.up, Qt::LeftButton);
    QTest::mouseClick(ui.up, Qt::LeftButton);
    QTest::mouseClick(ui.up, Qt::LeftButton);  // already at the last set
    EXPECT_EQ(ui.dataset->text(), "3");
    expectGridShowsFile(*ui.grid, file, 3, GridMode::Readings, d.dir.path());
    QTest::mouseClick(ui.toggle, Qt::LeftButton);
    EXPECT_EQ(ui.toggle->text(), "&View Data");
    expectGridShowsFile(*ui.grid, file, 3, GridMode::Times, d.dir.path());
    for (int i = 0; i < 3; ++i) QTest::mouseClick(ui.down, Qt::LeftButton);
    EXPECT_EQ(ui.dataset->text(), "1");
    expectGridShowsFile(*ui.grid, file, 1, GridMode::Times, d.dir.path());
    EXPECT_EQ(wellText(*ui.grid, 1, 1), "000");  // the run's first reading

    // The link monitor's next tick enables the export and the firmware entry.
    d.pair.runFor(150);
    EXPECT_TRUE(ui.excel->isEnabled());
    EXPECT_TRUE(ui.firmware->isEnabled());
    EXPECT_FALSE(ui.runIndicator->isVisible());
    // About 6 s after the run the question mark blinks.
    d.pair.runFor(7000);
    EXPECT_TRUE(ui.pictures->currentWidget()->objectName().startsWith("picComQuestion"));
    EXPECT_TRUE(d.dialogs.texts("warn").isEmpty())
        << d.dialogs.texts("warn").join('\n').toStdString();
}

TEST(frmZyvora, CancelDuringTheSecondDatasetKeepsTheFirst) {
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    Window ui{d};
    d.selectRows(1);
    d.session.runOptions().RepeatMode = true;
    d.session.runOptions().Repeats = 3;
    QTest::mouseClick(ui.start, Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return ui.status->text() == "Waiting for 2nd of 3 datasets"; }));
    ASSERT_TRUE(d.runUntil([&] { return w.runSequence().unfinishedReadings() == 2; }));
    d.dialogs.yesNoAnswers = {false};  // the two readings of set 2 are not kept
    QTest::mouseClick(ui.start, Qt::LeftButton);
    EXPECT_EQ(ui.start->text(), "&Start");
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    EXPECT_TRUE(d.dialogs.texts("inform").isEmpty());
    EXPECT_EQ(d.dialogs.texts("yesno"),
              QStringList{"You have cancelled this run.\n\n2 readings of dataset 2 were taken "
                          "before the run stopped. Keep them as a partial dataset (wells not "
                          "read are left without a reading)?"});
    EXPECT_EQ(w.runSequence().outcome(), RunOutcome::Cancelled);
    d.pair.runFor(500);
    EXPECT_TRUE(d.linesSent().contains("S"));
    EXPECT_FALSE(ui.up->isVisible());  // one dataset: no browser

    const PlateDocument reloaded = reloadedRun(d);
    EXPECT_EQ(reloaded.header.setsText, "1");
}

TEST(frmZyvora, MessageLineHidesOnDoubleClick) {
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    Window ui{d};
    d.selectRows(1);
    QTest::mouseClick(ui.start, Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return ui.message->isVisible(); }));
    QTest::mouseDClick(ui.message, Qt::LeftButton);
    EXPECT_FALSE(ui.message->isVisible());
    // The next message shows it again.
    ASSERT_TRUE(d.runUntil([&] { return ui.message->isVisible(); }));
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
}

TEST(frmZyvora, ClosingAfterASavedRunAsksNothing) {
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    d.selectRows(1);
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    EXPECT_TRUE(d.frame->close());
    EXPECT_TRUE(d.dialogs.asked.size() == 1);  // only the file name
}

TEST(frmZyvora, UnsavedDataPromptOnClose) {
    struct Case {
        YesNoCancel answer;
        bool closed;
        bool saved;
    };
    for (const Case& c : {Case{YesNoCancel::Cancel, false, false},
                          Case{YesNoCancel::No, true, false}, Case{YesNoCancel::Yes, true, true}}) {
        DesktopUnderTest d;
        frmZyvora& w = d.newMeasurement();
        d.session.setHasData(true);
        d.session.setSaved(false);
        d.session.setPath(d.dir.filePath("Unsaved.ovd"));
        d.dialogs.yesNoCancelAnswers = {c.answer};
        d.frame->close();
        DesktopUnderTest::settle();
        EXPECT_EQ(d.dialogs.texts("yesnocancel"), QStringList{kUnsavedDataText});
        EXPECT_EQ(!d.frame->isVisible(), c.closed);
        EXPECT_EQ(QFile::exists(d.session.path()), c.saved);
        EXPECT_TRUE(w.bTerminate);  // stays set even when the close was cancelled
    }
}

TEST(frmZyvora, AFailedSaveOffersAnotherFile) {
    DesktopUnderTest d;
    d.newMeasurement();
    d.session.setHasData(true);
    d.session.setSaved(false);
    d.session.setPath(d.dir.filePath("no-such-folder/Run.ovd"));
    const QString elsewhere = d.dir.filePath("Elsewhere.ovd");
    d.dialogs.yesNoCancelAnswers = {YesNoCancel::Yes};
    d.dialogs.yesNoAnswers = {true};
    d.dialogs.fileAnswers = {elsewhere};
    d.frame->close();
    DesktopUnderTest::settle();
    ASSERT_EQ(d.dialogs.texts("yesno").size(), 1);
    EXPECT_TRUE(d.dialogs.texts("yesno")[0].contains("could not be saved"));
    EXPECT_TRUE(QFile::exists(elsewhere));
    EXPECT_FALSE(d.frame->isVisible());
}

// A save that fails, and a user who declines to save elsewhere: the readings stay in the
// run journal for recovery.
TEST(frmZyvora, DecliningToSaveElsewhereKeepsTheJournal) {
    test::OwnDataFolder data;
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    Window ui{d};
    d.selectRows(1);
    d.dialogs.fileAnswers = {d.dir.filePath("no-such-folder/Run.ovd")};
    d.dialogs.yesNoAnswers = {false};
    QTest::mouseClick(ui.start, Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    DesktopUnderTest::settle();
    ASSERT_EQ(d.dialogs.texts("yesno").size(), 1);
    EXPECT_TRUE(d.dialogs.texts("yesno")[0].contains("could not be saved"));
    const QStringList journals = interruptedJournals(recoveryFolder());
    ASSERT_EQ(journals.size(), 1);
    PlateDocument back;
    EXPECT_EQ(readJournal(journals[0], back).readings, 12);
}

TEST(frmZyvora, ClosingDuringARunCancelsItAndSavesWhatWasMeasured) {
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    Window ui{d};
    d.selectRows(1);
    d.session.runOptions().RepeatMode = true;
    d.session.runOptions().Repeats = 2;
    QTest::mouseClick(ui.start, Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return ui.status->text() == "Waiting for 2nd of 2 datasets"; }));

    d.dialogs.yesNoAnswers = {false};  // keep the run going
    EXPECT_FALSE(d.frame->close());
    EXPECT_TRUE(w.runSequence().running());

    ASSERT_TRUE(d.runUntil([&] { return w.runSequence().unfinishedReadings() == 3; }));
    d.dialogs.choiceAnswers = {0};   // close, and keep the three readings of set 2
    EXPECT_FALSE(d.frame->close());  // closes once the run has ended
    ASSERT_EQ(d.dialogs.texts("choice").size(), 1);
    EXPECT_TRUE(d.dialogs.texts("choice")[0].endsWith(
        "\n\n3 readings of the unfinished dataset have been taken; you can keep them as a "
        "partial dataset.\n[&Keep Partial Dataset and Close|&Discard Partial Dataset and "
        "Close|&Continue the Run]"));
    ASSERT_TRUE(w.runSequence().running());  // it unwinds once virtual time moves on
    EXPECT_EQ(ui.status->text(), "Stopping the run...");
    EXPECT_TRUE(ui.status->isVisibleTo(&w));
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    DesktopUnderTest::settle();
    EXPECT_FALSE(d.frame->isVisible());
    d.pair.runFor(500);  // the last bytes on the line
    EXPECT_TRUE(d.linesSent().contains("S")) << d.pair.transcriptText().toStdString();
    EXPECT_TRUE(d.dialogs.texts("inform").isEmpty());
    EXPECT_EQ(d.dialogs.texts("yesno").size(), 1);  // the answer to keep them is not asked again
    const PlateDocument reloaded = reloadedRun(d);
    EXPECT_EQ(reloaded.header.setsText, "2");  // the partial set was kept
    EXPECT_TRUE(reloaded.reading(2, 1, 3).raw.has_value());
    EXPECT_EQ(reloaded.reading(2, 1, 4).raw, std::nullopt);
}

// Closing mid-run with readings of the unfinished dataset: they can be left out, or the run
// can go on.
TEST(frmZyvora, ClosingDuringARunCanLeaveThePartialDatasetOutOrGoOn) {
    for (int choice : {1, 2}) {
        SCOPED_TRACE(choice);
        DesktopUnderTest d;
        frmZyvora& w = d.newMeasurement();
        d.selectRows(1);
        d.session.runOptions().RepeatMode = true;
        d.session.runOptions().Repeats = 2;
        QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
        ASSERT_TRUE(d.runUntil([&] {
            return w.runSequence().runState().set == 2 && w.runSequence().unfinishedReadings() == 3;
        }));
        d.dialogs.choiceAnswers = {choice};
        d.frame->close();
        ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
        DesktopUnderTest::settle();
        EXPECT_EQ(d.frame->isVisible(), choice == 2);
        EXPECT_TRUE(d.dialogs.texts("yesno").isEmpty());
        EXPECT_EQ(reloadedRun(d).header.setsText, choice == 1 ? "1" : "2");
    }
}

}  // namespace
}  // namespace vantorix
