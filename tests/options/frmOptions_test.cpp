// The options dialog driven through its named controls: the checks on OK, the spinners, the
// repeat mode, the well toggles, and both callers (Settings > Options and the measurement
// window's Options button).
#include "options/frmOptions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <optional>

#include "app/GuiDialogEntries.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "options/GuiDialogChecks.h"
#include "options/GuiWellGrid.h"
#include "results/GuiResultsGrid.h"

namespace vantorix {
namespace {

using test::RecordingNotices;
using Icon = DialogNotices::Icon;

// One dialog, filled from a record and shown; `result` holds ShowForm's answer once given.
struct OpenDialog {
    RecordingNotices notices;
    frmOptions dialog{notices};
    RunOptions record;
    std::optional<bool> result;

    explicit OpenDialog(const RunOptions& options = {}) : record(options) { show(); }
    void show() {
        result.reset();
        editOptions(dialog, record, [this](bool ok) { result = ok; });
    }
    template <typename T>
    T* control(const char* name) const {
        T* c = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    void click(const char* name) { test::clickButton(control<QAbstractButton>(name)); }
    void ok() { click("cmdOK"); }
    void type(const char* name, const QString& text) {
        QLineEdit* b = box(name);
        b->selectAll();
        QTest::keyClicks(b, text);
    }
    void clickWell(int row, int column) {
        QLabel* cell = dialog.findChild<GuiWellGrid*>()->cell(row, column);
        QTest::mouseClick(cell, Qt::LeftButton);
    }
};

RunOptions multipleRuns(qint16 repeats, qint16 delay) {
    RunOptions o;
    o.RepeatMode = true;
    o.Repeats = repeats;
    o.Delay = delay;
    return o;
}

// OK accepts, or refuses with a message (the field's text selected, the focus left where the
// user can see it) or with a beep (the field's text selected and focused). Which texts pass
// each check is OptionsValidation's table; here one case of each kind of answer.
TEST(frmOptions, OkChecksTheFieldsInOrder) {
    const QString pumps = "'Pump 1 Volume' + 'Pump 2 Volume' cannot exceed 250";
    const QString repeats = "The number of repeating runs must be greater 1.  Please correct";
    const QString dwell = "'Dwell' must be a whole number from 0 to 500.";
    const struct {
        std::vector<std::pair<const char*, const char*>> edits;
        bool single;
        QString message;  // "" for none
        Icon icon;
        int beeps;
        const char* pointed;  // the box whose text is selected, if any
    } cases[] = {
        {{{"txtPump1Volume", "150"}, {"txtPump2Volume", "100"}}, false, "", Icon::None, 0, nullptr},
        {{{"txtPump1Volume", "125"}, {"txtPump2Volume", "125"}}, true, "", Icon::None, 0, nullptr},
        {{{"txtPump2Volume", "151"}}, false, pumps, Icon::Information, 0, "txtPump2Volume"},
        // Equal volumes: pump 1.
        {{{"txtPump1Volume", "126"}, {"txtPump2Volume", "126"}},
         false,
         pumps,
         Icon::Information,
         0,
         "txtPump1Volume"},
        {{{"txtRepeats", "1"}}, false, repeats, Icon::None, 0, nullptr},
        {{{"txtRepeats", "1"}}, true, "", Icon::None, 0, nullptr},
        {{{"txtRepeats", "256"}}, false, "", Icon::None, 1, "txtRepeats"},
        {{{"txtDelay", "12.5"}}, false, "", Icon::None, 1, "txtDelay"},
        {{{"txtDelay", "-1"}, {"txtRepeats", "256"}}, true, "", Icon::None, 0, nullptr},
        // Only a hand-edited settings store can put this in a hidden field.
        {{{"txtDwell", "600"}}, false, dwell, Icon::Warning, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.edits[0].first << " = " << c.edits[0].second
                                        << (c.single ? " single" : " multiple"));
        OpenDialog d(multipleRuns(3, 10));
        for (const auto& [box, text] : c.edits) d.box(box)->setText(text);
        if (c.single) d.click("optSingleRead");
        d.ok();
        const bool accepted = c.message.isEmpty() && c.beeps == 0;
        EXPECT_EQ(d.result, accepted ? std::optional<bool>(true) : std::nullopt);
        EXPECT_EQ(d.dialog.isVisible(), !accepted);
        EXPECT_EQ(d.notices.beeps, c.beeps);
        ASSERT_EQ(d.notices.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(d.notices.messages[0].text, c.message);
            EXPECT_EQ(d.notices.messages[0].icon, c.icon);
        }
        if (accepted) {
            EXPECT_EQ(d.dialog.tag(), "True");
        }
        if (!c.pointed) continue;
        EXPECT_EQ(d.box(c.pointed)->selectedText(), d.box(c.pointed)->text());
        EXPECT_EQ(d.dialog.focusWidget() == d.box(c.pointed), c.beeps == 1);
    }
}

TEST(frmOptions, SpinnersStepAndStop) {
    struct Case {
        const char* box;
        const char* spinner;
        const char* start;
        int clicks;
        const char* end;
    };
    const Case cases[] = {
        {"txtRepeats", "picRunsSpinDown", "3", 1, "2"},
        {"txtRepeats", "picRunsSpinDown", "3", 4, "2"},  // stops at 2
        {"txtRepeats", "picRunsSpinUp", "254", 3, "257"},
        {"txtRepeats", "picRunsSpinUp", "lots", 2, "lots"},  // not a number: nothing
        {"txtRepeats", "picRunsSpinDown", "lots", 1, "lots"},
        // No stop below 0: past the limits OK refuses (OkChecksTheFieldsInOrder).
        {"txtDelay", "picDelaySpinDown", "0", 1, "-1"},
        {"txtDelay", "picDelaySpinUp", "998", 2, "1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.spinner << " x" << c.clicks << " from " << c.start);
        OpenDialog d(multipleRuns(3, 0));
        d.box(c.box)->setText(c.start);
        for (int i = 0; i < c.clicks; ++i) d.click(c.spinner);
        EXPECT_EQ(d.box(c.box)->text(), c.end);
        if (QString(c.start) != c.end) {
            EXPECT_EQ(d.box(c.box)->selectedText(), c.end);
            EXPECT_EQ(d.dialog.focusWidget(), d.box(c.box));
        }
    }
}

TEST(frmOptions, SwitchingRepeatModesKeepsTheTexts) {
    OpenDialog d(multipleRuns(7, 30));
    auto spinnersShown = [&] {
        for (const char* s :
             {"picRunsSpinUp", "picRunsSpinDown", "picDelaySpinUp", "picDelaySpinDown"})
            if (!d.control<QToolButton>(s)->isVisibleTo(&d.dialog)) return false;
        return true;
    };
    EXPECT_TRUE(d.box("txtRepeats")->isEnabled());
    EXPECT_TRUE(spinnersShown());
    d.click("optSingleRead");
    EXPECT_FALSE(d.box("txtRepeats")->isEnabled());
    EXPECT_FALSE(d.box("txtDelay")->isEnabled());
    EXPECT_FALSE(d.control<QLabel>("lblRepeats")->isEnabled());
    EXPECT_FALSE(d.control<QToolButton>("picRunsSpinUp")->isVisibleTo(&d.dialog));
    EXPECT_EQ(d.box("txtRepeats")->text(), "7");
    EXPECT_EQ(d.box("txtDelay")->text(), "30");
    d.click("optRepeatMode");
    EXPECT_TRUE(d.box("txtDelay")->isEnabled());
    EXPECT_TRUE(spinnersShown());
    EXPECT_EQ(d.box("txtRepeats")->text(), "7");
    EXPECT_EQ(d.box("txtDelay")->text(), "30");
}

TEST(frmOptions, HiddenFieldsAndReactionComeBackAsFilled) {
    RunOptions o;
    o.Presamples = 1;
    o.Postsamples = 25;
    o.Pump1Volume = 40;
    o.Pump2Volume = 210;
    o.Dwell = 0;
    o.PostInjectDelay = 5000;
    o.Prime1 = 3;
    o.Prime2 = 25;
    for (qint16 reaction : {kReactionGlow, kReactionFlash}) {
        o.Reaction = reaction;
        OpenDialog d(o);
        EXPECT_FALSE(d.control<QWidget>("fraFlashConfiguration")->isVisibleTo(&d.dialog));
        EXPECT_FALSE(d.control<QWidget>("fraReaction")->isVisibleTo(&d.dialog));
        d.click("optRepeatMode");
        d.click("cmdAllCells");
        d.click("optSensitivity");
        d.type("txtRepeats", "4");
        d.ok();
        ASSERT_EQ(d.result, std::optional<bool>(true));
        RunOptions expected = o;
        expected.RepeatMode = true;
        expected.Repeats = 4;
        expected.Sensitive = 1;
        for (auto& row : expected.SelectedWells) row.fill(false);  // all were selected
        EXPECT_EQ(d.record, expected);
    }
}

TEST(frmOptions, EnterPressesOkAndEscCancels) {
    OpenDialog d(multipleRuns(256, 0));
    QTest::keyClick(d.box("txtDelay"), Qt::Key_Return);
    EXPECT_EQ(d.notices.beeps, 1);  // OK ran its checks
    d.type("txtRepeats", "12");
    QTest::keyClick(d.box("txtRepeats"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(d.result, std::optional<bool>(true));
    EXPECT_EQ(d.record.Repeats, 12);

    d.show();
    d.type("txtRepeats", "99");
    QTest::keyClick(d.box("txtRepeats"), Qt::Key_Escape);
    EXPECT_EQ(d.result, std::optional<bool>(false));
    EXPECT_EQ(d.dialog.tag(), "False");
    EXPECT_EQ(d.record.Repeats, 12);

    d.show();  // the close box is Cancel too, and keeps the dialog
    EXPECT_EQ(d.box("txtRepeats")->text(), "12");  // filled afresh from the record
    d.dialog.close();
    EXPECT_EQ(d.result, std::optional<bool>(false));
}

// The buttons and cells reach the selection rules (tested on their own); cells show their state.
TEST(frmOptions, RowColumnAllAndCellClicksChangeTheSelection) {
    OpenDialog d;  // every well selected
    GuiWellGrid* grid = d.dialog.findChild<GuiWellGrid*>();
    auto count = [&] { return selectedCount(grid->selection()); };
    d.click("cmdRow0");  // A full: cleared
    EXPECT_EQ(count(), 84);
    EXPECT_FALSE(d.dialog.SelectedWells(0, 11));
    d.click("cmdColumn11");  // column 12 without A12: filled
    EXPECT_EQ(count(), 85);
    EXPECT_TRUE(d.dialog.SelectedWells(0, 11));
    d.click("cmdAllCells");  // partly selected: completed
    EXPECT_EQ(count(), 96);

    QLabel* cell = grid->cell(2, 3);
    d.clickWell(2, 3);
    EXPECT_EQ(cell->objectName(), "lblWell27");
    EXPECT_EQ(cell->property("tag").toString(), "False");
    EXPECT_EQ(cell->palette().color(QPalette::Window), QColor(224, 224, 224));
    d.clickWell(2, 3);
    EXPECT_EQ(cell->property("tag").toString(), "True");
    EXPECT_EQ(cell->palette().color(QPalette::Window), QColor(0, 192, 0));

    // No well at all is a valid selection.
    d.click("cmdAllCells");
    ASSERT_EQ(count(), 0);
    d.ok();
    EXPECT_EQ(d.result, std::optional<bool>(true));
    EXPECT_EQ(selectedCount(d.record.SelectedWells), 0);
}

TEST(frmOptions, LooksFinished) {
    OpenDialog d(multipleRuns(5, 10));
    d.clickWell(0, 0);
    d.click("cmdRow7");
    test::expectNothingClipped(d.dialog);
    EXPECT_TRUE(d.box("txtRepeats")->isVisibleTo(&d.dialog));
    test::saveShot(d.dialog, QStringLiteral("frmOptions"));
    d.click("optSingleRead");
    test::saveShot(d.dialog, QStringLiteral("frmOptions-single"));
}

// Both callers, through the frame and the measurement window.
struct Desktop : test::DesktopUnderTest {
    RecordingNotices notices;
    GuiDialogEntries* entries =
        new GuiDialogEntries(*frame, settings, notices, [] { return std::vector<SerialDevice>{}; });

    frmOptions& options() { return entries->optionsDialog(); }
    void click(const char* name) {
        test::clickButton(options().findChild<QAbstractButton*>(QLatin1String(name)));
    }
};

TEST(frmOptions, CancelLeavesBothRecordsAsTheyWere) {
    Desktop d;
    d.session.runOptions().Repeats = 9;
    const RunOptions defaults = d.frame->runDefaults();
    const RunOptions current = d.session.runOptions();
    d.control<QAction>("mnuSettingsOptions")->trigger();
    d.click("optRepeatMode");
    d.click("cmdAllCells");
    d.click("cmdCancel");
    EXPECT_EQ(d.frame->runDefaults(), defaults);
    EXPECT_EQ(d.session.runOptions(), current);

    // Confirmed from the menu: only the defaults change.
    d.control<QAction>("mnuSettingsOptions")->trigger();
    EXPECT_EQ(d.options().findChild<QLineEdit*>("txtRepeats")->text(), "1");  // from the defaults
    d.click("cmdRow0");
    d.click("cmdOK");
    EXPECT_FALSE(d.frame->runDefaults().SelectedWells[0][0]);
    EXPECT_EQ(d.session.runOptions(), current);
    EXPECT_EQ(d.frame->findChildren<frmOptions*>().size(), 1u);  // created once, kept
}

TEST(frmOptions, ConfirmingInTheMeasurementWindowUpdatesItsLabels) {
    Desktop d;
    d.frame->mnuFileNew_Click();
    auto* cmdOptions = d.control<QPushButton>("cmdOptions");
    ASSERT_TRUE(cmdOptions->isEnabled());

    QTest::mouseClick(cmdOptions, Qt::LeftButton);
    d.click("optSensitivity");
    d.click("optRepeatMode");
    d.options().findChild<QLineEdit*>("txtRepeats")->setText("5");
    d.click("cmdRow0");  // row A off
    d.click("cmdOK");
    EXPECT_EQ(d.control<QLabel>("lblExtraSensitivityStatus")->text(), "On");
    EXPECT_EQ(d.control<QLabel>("lblNumberOfRuns")->text(), "5");
    EXPECT_TRUE(d.control<QLabel>("lblNumberOfRuns")->isVisibleTo(d.frame.get()));
    EXPECT_EQ(d.session.runOptions().Repeats, 5);
    EXPECT_EQ(d.frame->runDefaults(), d.session.runOptions());  // they are the new defaults
    auto* grid = d.control<QTableWidget>("grdResults");
    EXPECT_NE(wellBackground(*grid, 1, 1), kSelectedWellColour);
    EXPECT_EQ(wellBackground(*grid, 2, 1), kSelectedWellColour);

    QTest::mouseClick(cmdOptions, Qt::LeftButton);
    d.click("optSingleRead");
    d.click("optSensitivity");
    d.click("cmdOK");
    EXPECT_EQ(d.control<QLabel>("lblNumberOfRuns")->text(), "1");
    EXPECT_EQ(d.control<QLabel>("lblExtraSensitivityStatus")->text(), "Off");
    EXPECT_EQ(d.session.runOptions().Repeats, 5);  // kept, only not used

    // Cancel changes nothing in the window.
    QTest::mouseClick(cmdOptions, Qt::LeftButton);
    d.click("optRepeatMode");
    d.click("cmdCancel");
    EXPECT_EQ(d.control<QLabel>("lblNumberOfRuns")->text(), "1");
}

// Confirmed run defaults are in the settings file at once, from the menu and from the
// measurement window: a crash later loses none of them.
TEST(frmOptions, ConfirmedDefaultsReachTheSettingsFileAtOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vantorix.conf");
    QSettingsStore store(QSettingsStore::IniFile{path});
    test::ScriptedDialogs dialogs;
    sim::PairHarness pair;
    DocumentSession session;
    DataFolders folders;
    RecordingNotices notices;
    frmMain frame(session, folders, store, pair.port(), pair.scheduler(), dialogs);
    auto* entries =
        new GuiDialogEntries(frame, store, notices, [] { return std::vector<SerialDevice>{}; });
    const auto stored = [&path](const QString& key) {
        return QSettings(path, QSettings::IniFormat).value("Options/" + key).toString();
    };
    const auto click = [entries](const char* name) {
        test::clickButton(entries->optionsDialog().findChild<QAbstractButton*>(name));
    };
    frame.findChild<QAction*>("mnuSettingsOptions")->trigger();
    click("optRepeatMode");
    entries->optionsDialog().findChild<QLineEdit*>("txtRepeats")->setText("4");
    click("cmdOK");
    EXPECT_EQ(stored("Repeats"), "4");
    EXPECT_EQ(stored("RepeatMode"), "True");

    frame.mnuFileNew_Click();
    QTest::mouseClick(frame.findChild<QPushButton*>("cmdOptions"), Qt::LeftButton);
    entries->optionsDialog().findChild<QLineEdit*>("txtDelay")->setText("7");
    click("cmdRow0");  // row A off
    click("cmdOK");
    EXPECT_EQ(stored("Delay"), "7");
    EXPECT_EQ(stored("Well0"), "False");
    EXPECT_TRUE(notices.messages.empty());
}

}  // namespace
}  // namespace vantorix
