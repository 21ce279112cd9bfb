#include "files/frmOpenFile.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "FolderSamples.h"
#include "app/GuiDesktopWiring.h"
#include "files/FolderListing.h"
#include "files/GuiSplitProgressBar.h"
#include "frame/frmMain.h"
#include "kernel/DataPaths.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "measurement/frmZyvora.h"
#include "simulator/PairHarness.h"
#include "support/TestSupport.h"

using namespace vantorix;
using test::at;
using test::writeDoc;

namespace {

// The desktop program with the browser on File > Open, over a temporary data folder.
struct Desktop : test::DesktopUnderTest {
    Desktop() { installFileBrowser(*frame, pair.scheduler()); }
    QString folder() const { return dir.path(); }

    template <typename T>
    T* control(const char* name) const {
        return browser()->findChild<T*>(QLatin1String(name));
    }
    frmOpenFile* browser() const { return frame->findChild<frmOpenFile*>(); }
    QTableWidget* grid() const { return control<QTableWidget>("grdOVDList"); }

    // File > Open, then wait for the list.
    frmOpenFile* openBrowser() {
        frame->entryAction(frmMain::Entry::FileOpen)->trigger();
        EXPECT_TRUE(waitForList());
        return browser();
    }
    bool listReady() const {
        return browser() && !browser()->rebuilding() && control<QWidget>("frameReady")->isVisible();
    }
    // The list is rebuilt on the window's scheduler: virtual time.
    bool waitForList() {
        return runUntil([this] { return listReady(); }, 5000);
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < grid()->rowCount(); ++r) out << grid()->item(r, c)->text();
        return out;
    }
    void clickRow(int row, bool twice = false) const {
        const QPoint where = grid()->visualRect(grid()->model()->index(row, 1)).center();
        // A double click reaches a widget as a click followed by the double-click event.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, where);
        if (twice) QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, where);
    }
};

// The darkest grey (0 black - 255 white) the widget draws: the contrast of its text.
int darkestGrey(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

void writeThree(const QString& folder) {
    writeDoc(folder, {"b-late.ovd", "ATP", "Ana", "P-3", at(2024, 3, 9, 13, 0), 2});
    writeDoc(folder, {"a-noon.ovd", "Blank", "Ben", "P-2", at(2024, 3, 9, 12, 5), 1});
    writeDoc(folder, {"c-morning.ovd", "Ctrl", "Cy", "P-1", at(2024, 3, 9, 11, 59), 3});
}

}  // namespace

TEST(frmOpenFile, ListsTheFolderOldestFirstInSevenColumns) {
    Desktop d;
    writeThree(d.folder());
    test::writeFileBytes(QDir(d.folder()).filePath("broken.ovd"), "<a><b>1</a>");
    // The open document is not touched by the listing.
    d.session.setHeaderText(&PlateHeader::notes, QStringLiteral("open"));

    d.frame->entryAction(frmMain::Entry::FileOpen)->trigger();
    // The notice shows until the rebuild's slices have run on the scheduler.
    ASSERT_TRUE(d.browser() && d.browser()->isVisible());
    EXPECT_TRUE(d.control<QWidget>("frameBusy")->isVisible());
    EXPECT_EQ(d.control<QLabel>("lblBusy")->text(), "File list being created... One Moment...");
    ASSERT_TRUE(d.waitForList());
    frmOpenFile* browser = d.browser();
    QTableWidget* grid = d.grid();
    ASSERT_EQ(grid->columnCount(), 7);
    QStringList headers;
    for (int c = 0; c < 7; ++c) headers << grid->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, QStringList({"Filename", "Test", "Operator", "Plate No.", "Sets",
                                    "Date/Time", "Date/Time for sorting"}));
    EXPECT_TRUE(grid->isColumnHidden(6));
    EXPECT_EQ(d.column(0), QStringList({"c-morning.ovd", "a-noon.ovd", "b-late.ovd"}));
    EXPECT_EQ(d.column(1), QStringList({"Ctrl", "Blank", "ATP"}));
    EXPECT_EQ(d.column(4), QStringList({"3", "1", "2"}));
    EXPECT_EQ(d.column(5).first(), "3/9/2024  11:59:00 AM");
    EXPECT_EQ(d.column(6).last(), "240309130000");
    EXPECT_FALSE(d.control<QPushButton>("cmdOpen")->isEnabled());
    EXPECT_EQ(d.session.document().header.notes, "open");
    EXPECT_EQ(d.session.document().setCount(), 0);

    auto* progress = browser->findChild<GuiSplitProgressBar*>("picWhiteBack");
    EXPECT_EQ(progress->percentText(), "100%");
    EXPECT_EQ(progress->findChild<QLabel*>("lblProgressBlue")->text(), "100%");
    EXPECT_EQ(progress->blueWidth(), progress->contentsRect().width());

    // Placed across the middle, at one third of the free height.
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(browser->y(), free.top() + (free.height() - browser->height()) / 3);
    EXPECT_EQ(browser->x(), free.left() + (free.width() - browser->width()) / 2);
}

TEST(frmOpenFile, OpenLoadsTheChosenFileIntoTheMeasurementWindow) {
    Desktop d;
    writeThree(d.folder());
    d.openBrowser();
    d.clickRow(2);
    auto* cmdOpen = d.control<QPushButton>("cmdOpen");
    EXPECT_TRUE(cmdOpen->isEnabled());
    EXPECT_EQ(d.control<QLabel>("lblFilename")->text(), joinPath(d.folder(), "b-late.ovd"));
    QTest::mouseClick(cmdOpen, Qt::LeftButton);

    EXPECT_FALSE(d.browser()->isVisible());
    auto* window = d.frame->findChild<frmZyvora*>();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->findChild<QLineEdit*>("txtOperator")->text(), "Ana");
    EXPECT_EQ(window->findChild<QLineEdit*>("txtTest")->text(), "ATP");
    EXPECT_EQ(window->windowTitle(), "b-late.ovd");  // the caption names the document
    EXPECT_FALSE(d.session.canEdit());
    EXPECT_EQ(d.session.document().reading(2, 1, 1).raw, std::optional<double>(2001));
    EXPECT_EQ(d.session.document().header.setsText, "2");
    EXPECT_TRUE(d.dialogs.asked.empty());
    // Opening leaves the parse dump of the file in the program's folder.
    EXPECT_TRUE(test::readFileBytes(QDir(d.folder()).filePath("temp.txt"))
                    .contains("\r\n" + (kRootKey + ".data.sets=2\r\n").toUtf8()));

    // The stored header can be read at full contrast but not edited, until File > New.
    for (const char* name : {"txtOperator", "txtTest", "txtPlateNo", "txtNotes"}) {
        auto* field = window->findChild<QLineEdit*>(name);
        EXPECT_TRUE(field->isEnabled() && field->isReadOnly()) << name;
    }
    auto* txtOperator = window->findChild<QLineEdit*>("txtOperator");
    QTest::keyClicks(txtOperator, "x");
    EXPECT_EQ(txtOperator->text(), "Ana");
    EXPECT_LT(darkestGrey(txtOperator), 96);

    // Shown again, after Open or after Cancel: no row is chosen until the user chooses one, and
    // a double click opens another at once.
    for (const char* leave : {"cmdCancel", "none"}) {
        d.openBrowser();
        EXPECT_EQ(d.grid()->currentRow(), -1) << leave;
        EXPECT_FALSE(d.control<QPushButton>("cmdOpen")->isEnabled()) << leave;
        EXPECT_EQ(d.control<QLabel>("lblFilename")->text(), "") << leave;
        d.clickRow(1);
        if (auto* button = d.control<QPushButton>(leave)) QTest::mouseClick(button, Qt::LeftButton);
    }
    d.clickRow(0, true);
    EXPECT_FALSE(d.browser()->isVisible());
    EXPECT_EQ(txtOperator->text(), "Cy");
    EXPECT_EQ(d.session.document().reading(3, 8, 12).raw, std::optional<double>(3096));

    d.frame->findChild<QAction*>("mnuFileNew")->trigger();
    EXPECT_FALSE(txtOperator->isReadOnly());
}

TEST(frmOpenFile, AFileNamedOnTheCommandLineOpensInTheMeasurementWindow) {
    Desktop d;
    QTemporaryDir elsewhere;
    writeThree(elsewhere.path());
    d.pair.runFor(7000);  // the instrument has been quiet longer than the link light's window
    EXPECT_TRUE(openDocumentFile(*d.frame, elsewhere.filePath("b-late.ovd")));
    // Loaded as File > Open loads (OpenLoadsTheChosenFile...), named in the caption, its date
    // and time shown; the browser and the next run start in the file's folder. Reading a file
    // is no sign of life from the instrument.
    auto* window = d.frame->findChild<frmZyvora*>();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "b-late.ovd");
    EXPECT_EQ(window->findChild<QLabel*>("lblRunDate")->text(), "Measured 2024-03-09 13:00:00");
    d.pair.runFor(300);
    EXPECT_TRUE(window->findChild<QStackedWidget*>("picComStatus")
                    ->currentWidget()
                    ->objectName()
                    .startsWith("picComQuestion"));
    EXPECT_EQ(window->findChild<QLineEdit*>("txtOperator")->text(), "Ana");
    EXPECT_EQ(d.folders.data, QDir::toNativeSeparators(elsewhere.path()));
    EXPECT_TRUE(d.dialogs.asked.empty());

    // A file recovered from an interrupted run says so in the caption.
    PlateDocument recovered;
    recovered.header.notes = "[Recovered, incomplete run: 1 of 3 sets complete] washed";
    ASSERT_TRUE(writePlateFile(runDocument(recovered, recovered.options, 1, 1),
                               elsewhere.filePath("r.ovd"), at(2024, 3, 9, 14, 0))
                    .ok);
    EXPECT_TRUE(openDocumentFile(*d.frame, elsewhere.filePath("r.ovd")));
    EXPECT_EQ(window->windowTitle(), "r.ovd [Recovered, incomplete run: 1 of 3 sets complete]");

    EXPECT_FALSE(openDocumentFile(*d.frame, elsewhere.filePath("gone.ovd")));
    EXPECT_EQ(d.dialogs.texts("warn"),
              QStringList{"There is no data file " +
                          QDir::toNativeSeparators(elsewhere.filePath("gone.ovd")) + "."});
}

TEST(frmOpenFile, AFileGoneBeforeOpenIsReportedAndTheWindowStillRepaints) {
    Desktop d;
    writeThree(d.folder());
    d.openBrowser();
    d.clickRow(0);
    ASSERT_TRUE(QFile::remove(QDir(d.folder()).filePath("c-morning.ovd")));
    QTest::mouseClick(d.control<QPushButton>("cmdOpen"), Qt::LeftButton);
    ASSERT_EQ(d.dialogs.texts("inform").size(), 1);
    EXPECT_TRUE(d.dialogs.texts("inform")[0].startsWith("Can't open that file\n"));
    EXPECT_TRUE(d.frame->findChild<frmZyvora*>()->isVisible());
    EXPECT_FALSE(d.browser()->isVisible());
}

TEST(frmOpenFile, AnOpenDialogPicksUpFilesWrittenOrTouchedInItsFolder) {
    Desktop d;
    writeDoc(d.folder(), {"first.ovd", "T", "Ana", "1", at(2024, 1, 1, 9, 0)});
    d.openBrowser();
    d.clickRow(0);
    ASSERT_EQ(d.grid()->rowCount(), 1);

    writeDoc(d.folder(), {"older.ovd", "T", "Ben", "2", at(2023, 1, 1, 9, 0)});
    ASSERT_TRUE(d.runUntil([&] { return d.listReady() && d.grid()->rowCount() == 2; },
                           FolderListing::kRefreshInterval_ms));
    EXPECT_EQ(d.column(0), QStringList({"older.ovd", "first.ovd"}));
    // The chosen file stays chosen across the rebuild.
    EXPECT_EQ(d.grid()->currentRow(), 1);
    EXPECT_TRUE(d.control<QPushButton>("cmdOpen")->isEnabled());

    // A rewrite in place (same name, new contents and time) is relisted too.
    writeDoc(d.folder(), {"first.ovd", "T", "Cy", "1", at(2022, 1, 1, 9, 0)});
    ASSERT_TRUE(d.runUntil([&] { return d.listReady() && d.column(2).first() == "Cy"; },
                           FolderListing::kRefreshInterval_ms));
    EXPECT_EQ(d.column(0), QStringList({"first.ovd", "older.ovd"}));
}

TEST(frmOpenFile, FoldersAndDrivesChangeTheListedFolder) {
    Desktop d;
    writeThree(d.folder());
    QDir(d.folder()).mkdir("sub");
    const QString sub = QDir(d.folder()).filePath("sub");
    writeDoc(sub, {"only.ovd", "T", "O", "P", at(2024, 1, 1, 9, 0)});
    frmOpenFile* browser = d.openBrowser();
    ASSERT_EQ(d.grid()->rowCount(), 3);

    d.folders.data = sub;
    browser->RefreshFileList();
    ASSERT_TRUE(d.waitForList());
    EXPECT_EQ(d.column(0), QStringList({"only.ovd"}));

    // A drive that cannot be read: the message, then the user's home.
    auto* drives = d.control<QComboBox>("Drive1");
    drives->addItem("/no/such/drive", "/no/such/drive");
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(d.dialogs.texts("inform"), QStringList({"Drive: /no/such/drive is not available"}));
    EXPECT_EQ(d.folders.data, QDir::toNativeSeparators(QDir::homePath()));
    EXPECT_EQ(drives->currentData().toString(), QDir::toNativeSeparators(QDir::homePath()));
    ASSERT_TRUE(d.waitForList());
}
