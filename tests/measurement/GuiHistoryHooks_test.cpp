// What the desktop program leaves in the history, and File > History opening a run's file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QThread>

#include "analysis/AnalysisPlate.h"
#include "analysis/GuiAnalysisView.h"
#include "analysis/LayoutFile.h"
#include "app/GuiDesktopWiring.h"
#include "app/GuiHistoryHooks.h"
#include "files/PlateFile.h"
#include "firmware/frmDownloadNewFirmware.h"
#include "frame/frmHistory.h"
#include "history/HistoryTestSupport.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "options/WellSelection.h"
#include "protocols/ProtocolSample.h"
#include "protocols/ProtocolStore.h"
#include "protocols/frmProtocols.h"
#include "results/GuiResultsPanel.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

using EventRow = std::tuple<QString, QString, history::Fields>;

// The desktop under test with the history hooks, its history and protocols in its folder.
struct DesktopWithHistory : DesktopUnderTest {
    DesktopWithHistory() {
        new GuiHistoryHooks(
            *frame, pair.scheduler(),
            [this] { return std::make_unique<RunHistory>(dir.filePath("history.sqlite")); },
            dir.filePath("protocols"));
    }
    RunHistory& history() { return GuiHistoryHooks::of(*frame)->history(); }
    std::vector<EventRow> events() {
        std::vector<EventRow> rows;
        for (const history::StoredEvent& e : history().db().events())
            rows.emplace_back(history::kindName(e.event.kind), e.event.file, e.event.fields);
        return rows;
    }
};

QString sha256Of(const QString& path) {
    return QCryptographicHash::hash(readFileBytes(path), QCryptographicHash::Sha256).toHex();
}

}  // namespace

// File > New from Protocol, Start: the run's start names the protocol and its SHA-256; its file
// and its end follow. A header text changed in the saved file's window, its report and picture
// exports and a setting changed are events too, each once.
TEST(GuiHistoryHooks, ARunFromAProtocolAHeaderEditAndASettingAreRecorded) {
    DesktopWithHistory d;
    QDir().mkpath(d.dir.filePath("protocols"));
    writeFileBytes(d.dir.filePath("protocols/Glow ELISA (plate 2).protocol"),
                   QString(kSampleProtocol)
                       .replace("runs = repeated", "runs = single")
                       .replace("repeats = 3", "repeats = 1")
                       .replace("reaction = flash", "reaction = glow")
                       .replace("prime1 = 2", "prime1 = 0")
                       .toUtf8());
    d.control<QAction>("mnuFileNewFromProtocol")->trigger();
    auto* chooser = d.frame->findChild<frmProtocols*>();
    ASSERT_NE(chooser, nullptr);
    QTest::mouseClick(chooser->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    auto& w = *d.frame->findChild<frmZyvora*>();
    EXPECT_EQ(formatWellList(d.session.runOptions().SelectedWells), "A1-B3");
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    ASSERT_EQ(w.runSequence().outcome(), RunOutcome::Completed);
    const QString file = d.dir.filePath("Sample.ovd");

    auto* notes = d.control<QLineEdit>("txtNotes");
    notes->setFocus();
    QTest::keyClicks(notes, "re-read");
    QTest::keyClick(notes, Qt::Key_Return);

    // The results panel's report and picture exports, as their file dialogs end.
    emit w.resultsPanel().exportWritten("pdf", d.dir.filePath("r.pdf"));
    emit w.resultsPanel().exportWritten("svg", d.dir.filePath("p.svg"));

    MemorySettingsStore memory;
    memory.write("Options", "Dwell", "500");
    AuditedSettingsStore settings(memory, [&](const history::Event& e) { d.history().record(e); });
    settings.write("Options", "Delay", "0");  // the first time: the default, no change
    settings.write("Options", "Dwell", "400");
    settings.write("Options", "Dwell", "400");  // unchanged: no event
    settings.write("Options", "Dwell", "300");

    const std::vector<EventRow> expected{
        {"run.started",
         "",
         {{"protocol", "Glow ELISA (plate 2)"},
          {"protocol_sha256", "06ccc010f0bf6747b21695a6bddadb0fb488e2a85cf56359919ffe03faac2aee"}}},
        {"file.saved", file, {{"sha256", sha256Of(file)}}},
        {"run.completed", file, {{"sets", "1"}}},
        {"header.changed", file, {{"field", "notes"}, {"old", ""}, {"new", "re-read"}}},
        {"report.written", file, {{"kind", "pdf"}, {"path", d.dir.filePath("r.pdf")}}},
        {"export.written", file, {{"kind", "svg"}, {"path", d.dir.filePath("p.svg")}}},
        {"settings.changed", "", {{"key", "Options/Dwell"}, {"old", "500"}, {"new", "400"}}},
        {"settings.changed", "", {{"key", "Options/Dwell"}, {"old", "400"}, {"new", "300"}}},
    };
    EXPECT_EQ(d.events(), expected);
    EXPECT_EQ(memory.value("Options", "Dwell"), "300");
}

// A run whose file cannot be written and that the user saves elsewhere, and a firmware download
// cancelled in its dialog.
TEST(GuiHistoryHooks, ASaveElsewhereAndAFirmwareDownloadAreRecorded) {
    DesktopWithHistory d;
    frmZyvora& w = d.newMeasurement();
    d.selectRows(1);
    const QString intended = d.dir.filePath("no-such-folder/Run.ovd");
    const QString elsewhere = d.dir.filePath("Elsewhere.ovd");
    d.dialogs.fileAnswers = {intended, elsewhere};
    d.dialogs.yesNoAnswers = {true};
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    DesktopUnderTest::settle();

    writeFileBytes(d.dir.filePath("melto.exe"), QByteArray(1000, 'Z'));
    frmDownloadNewFirmware dialog(d.pair.port(), d.pair.scheduler(), d.dialogs, d.settings,
                                  programImageSource(d.dir.path(), d.dir.path()));
    recordFirmwareSent(*d.frame, dialog);
    dialog.showDialog();
    QTest::keyClicks(dialog.findChild<QLineEdit*>("Text1"), "3094");
    QTest::keyClick(dialog.findChild<QLineEdit*>("Text1"), Qt::Key_Return);
    auto* start = dialog.findChild<QPushButton*>("cmdSendStartCommand");
    QTest::mouseClick(start, Qt::LeftButton);
    d.pair.runFor(200);
    QTest::mouseClick(start, Qt::LeftButton);  // Cancel

    const QString why = "The data could not be saved to " + intended + ": " + intended +
                        ": No such file or directory";
    const std::vector<EventRow> expected{
        {"run.started", "", {{"protocol", ""}, {"protocol_sha256", ""}}},
        {"file.saved-elsewhere",
         elsewhere,
         {{"intended", intended}, {"reason", why}, {"sha256", sha256Of(elsewhere)}}},
        {"file.saved", elsewhere, {{"sha256", sha256Of(elsewhere)}}},
        {"run.cancelled", elsewhere, {{"reason", why}}},
        {"firmware.sent",
         "",
         {{"image_sha256", "8fe15844cfeedd35f5dc30a9fa5ed38afd849dbe4f8dcae5642d934be0afb13d"},
          {"outcome", "cancelled"}}}};
    EXPECT_EQ(d.events(), expected);
}

// An analysis of a saved file with a layout is recorded with the layout file beside it, the
// model and the wells left out; the same analysis shown again is not recorded again.
TEST(GuiHistoryHooks, EachDifferentAnalysisOfASavedFileIsRecordedOnce) {
    DesktopWithHistory d;
    GuiAnalysisView& view = *d.newMeasurement().resultsPanel().analysisView();
    PlateDocument doc;
    Dataset set;
    WellLayout layout;
    handPlate(set, layout);
    doc.datasets = {set};
    layout.wells[24] = {WellRole::Sample, "S1", {}, 1, true, "pipetting error"};  // C1; B10 too
    const QString file = d.dir.filePath("Hand.ovd");
    view.findChild<QComboBox*>("cboAnalysisModel")->setCurrentIndex(0);  // linear
    view.setDocument(doc, file);  // no layout yet: nothing to record
    ASSERT_TRUE(view.useLayout(layout).isEmpty());
    view.setDocument(doc, file);                                         // shown again
    view.findChild<QComboBox*>("cboAnalysisModel")->setCurrentIndex(1);  // loglog
    const QString beside = d.dir.filePath("Hand.layout.csv");
    const history::Fields linear{{"layout_sha256", sha256Of(beside)},
                                 {"model", "linear"},
                                 {"excluded.B10", ""},
                                 {"excluded.C1", "pipetting error"}};
    history::Fields loglog = linear;
    loglog[1].second = "loglog";
    const std::vector<EventRow> expected{{"analysis.done", file, linear},
                                         {"analysis.done", file, loglog}};
    EXPECT_EQ(d.events(), expected);
}

// Save Settings as Protocol keeps the analysis view's layout and settings; File > New from that
// protocol brings them back for the new run, and its saved file gets the layout beside it.
TEST(GuiHistoryHooks, AProtocolCarriesTheAnalysisLayoutAndSettings) {
    DesktopWithHistory d;
    QDir().mkpath(d.dir.filePath("protocols"));
    GuiAnalysisView* view = d.newMeasurement().resultsPanel().analysisView();
    WellLayout layout;
    layout.wells[0] = {WellRole::Blank, "", {}, 1, false, ""};
    layout.wells[13] = {WellRole::Sample, "S1", {}, 4, true, "bubble"};  // B2
    view->useLayout(layout);
    view->findChild<QComboBox*>("cboAnalysisModel")->setCurrentIndex(1);      // loglog
    view->findChild<QComboBox*>("cboAnalysisWeighting")->setCurrentIndex(2);  // 1/y2
    d.control<QAction>("mnuFileSaveProtocol")->trigger();
    auto* saver = d.frame->findChild<frmProtocols*>();
    ASSERT_NE(saver, nullptr);
    saver->findChild<QLineEdit*>("txtName")->setText("Blank and S1");
    QTest::mouseClick(saver->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    StoredProtocol stored;
    ASSERT_EQ(loadProtocol(d.dir.filePath("protocols"), "Blank and S1", stored), "");
    EXPECT_EQ(stored.protocol.layout, layout);
    EXPECT_EQ(stored.protocol.analysis.model, CurveModel::LogLog);
    EXPECT_EQ(stored.protocol.analysis.weighting, Weighting::InverseY2);
    DesktopUnderTest::settle();
    view->findChild<QComboBox*>("cboAnalysisModel")->setCurrentIndex(2);      // 4pl
    view->findChild<QComboBox*>("cboAnalysisWeighting")->setCurrentIndex(0);  // none

    d.control<QAction>("mnuFileNewFromProtocol")->trigger();
    auto* chooser = d.frame->findChild<frmProtocols*>();
    ASSERT_NE(chooser, nullptr);
    QTest::mouseClick(chooser->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    view = d.frame->findChild<frmZyvora*>()->resultsPanel().analysisView();
    EXPECT_EQ(view->settings().model, CurveModel::LogLog);
    EXPECT_EQ(view->settings().weighting, Weighting::InverseY2);
    const QString file = d.dir.filePath("FromProtocol.ovd");
    view->setDocument(PlateDocument{}, file);  // the run's file, once saved
    EXPECT_EQ(view->plateLayout(), layout);
    const LayoutRead beside = readLayoutFile(d.dir.filePath("FromProtocol.layout.csv"));
    EXPECT_TRUE(beside.ok) << beside.message.toStdString();
    EXPECT_EQ(beside.layout, layout);
}

// A database whose pages are damaged is found by the check at start-up, on its own thread: it
// is set aside, the user is told once, and the history goes on in a new database.
TEST(GuiHistoryHooks, ADamagedDatabaseFoundAtStartIsSetAsideAndToldOnce) {
    DesktopWithHistory d;
    const QString path = d.dir.filePath("history.sqlite");
    {
        history::History h(path, labOptions());
        for (int n = 0; n < 200; ++n) h.recordFile(fileFacts(QString("/d/%1.ovd").arg(n), "aa"));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(2 * 4096));
    ASSERT_EQ(file.write(QByteArray(16, '\xff')), 16);
    file.close();
    const QByteArray damaged = readFileBytes(path);
    GuiHistoryHooks::of(*d.frame)->checkIntegrityInBackground(path);
    QElapsedTimer waited;
    waited.start();
    while (d.dialogs.texts("warn").isEmpty() && waited.elapsed() < 20000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    DesktopUnderTest::settle();
    const QStringList aside = QDir(d.dir.path()).entryList({"history.sqlite.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    const QStringList warned = d.dialogs.texts("warn");
    ASSERT_EQ(warned.size(), 1);
    EXPECT_TRUE(warned[0].startsWith("The run history " + path + " is damaged ("));
    EXPECT_TRUE(warned[0].endsWith("). It was set aside as " + d.dir.filePath(aside[0]) +
                                   " and a new history was started."))
        << warned[0].toStdString();
    EXPECT_EQ(readFileBytes(d.dir.filePath(aside[0])), damaged);
    GuiHistoryHooks::of(*d.frame)->record(history::events::fileSaved("/d/a.ovd", "9f86"));
    EXPECT_EQ(d.events().size(), 1u);
    EXPECT_EQ(d.dialogs.texts("warn").size(), 1);
}

// File > History finds a run by its operator and opens its file in the measurement window; the
// events tab then lists that file's events.
TEST(GuiHistoryHooks, TheHistoryWindowOpensTheChosenRunsFile) {
    DesktopWithHistory d;
    const QDateTime when(QDate(2026, 11, 3), QTime(9, 30));
    const char* operators[] = {"Ann Lee", "Bo Park"};
    for (const char* name : operators) {
        PlateDocument doc;
        doc.header.operatorName = QString::fromUtf8(name);
        doc.header.test = "ELISA";
        doc.datasets.resize(2);
        const QString path = d.dir.filePath(QString::fromUtf8(name).left(2) + ".ovd");
        ASSERT_TRUE(writePlateFile(doc, path, when).ok);
        GuiHistoryHooks::of(*d.frame)->fileOpened(path);
    }
    d.control<QAction>("mnuFileHistory")->trigger();
    auto* window = d.frame->findChild<frmHistory*>();
    ASSERT_NE(window, nullptr);
    auto* runs = window->findChild<QTableWidget*>("grdRuns");
    EXPECT_EQ(runs->rowCount(), 2);
    QTest::keyClicks(window->findChild<QLineEdit*>("txtOperator"), "park");
    ASSERT_EQ(runs->rowCount(), 1);
    EXPECT_EQ(runs->item(0, 1)->text(), "Bo Park");
    EXPECT_EQ(runs->item(0, 4)->text(), "2");
    QTest::mouseClick(window->findChild<QPushButton*>("cmdOpen"), Qt::LeftButton);

    const QString opened = d.dir.filePath("Bo.ovd");
    EXPECT_EQ(d.session.path(), opened);
    EXPECT_EQ(d.control<QLineEdit>("txtOperator")->text(), "Bo Park");
    EXPECT_EQ(window->findChild<QLabel*>("lblEventsFile")->text(), opened + ": 0 events");
    EXPECT_TRUE(d.dialogs.texts("warn").isEmpty())
        << d.dialogs.texts("warn").join('\n').toStdString();
}
