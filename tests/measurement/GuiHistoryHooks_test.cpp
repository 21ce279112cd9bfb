// What the desktop program leaves in the history, and File > History opening a run's file.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/GuiHistoryHooks.h"
#include "files/PlateFile.h"
#include "frame/frmHistory.h"
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
            *frame, state, pair.scheduler(),
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
    EXPECT_EQ(formatWellList(d.state.CurrentOptions.SelectedWells), "A1-B3");
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
    EXPECT_EQ(d.state.DataFileName, opened);
    EXPECT_EQ(d.control<QLineEdit>("txtOperator")->text(), "Bo Park");
    EXPECT_EQ(window->findChild<QLabel*>("lblEventsFile")->text(), opened + ": 0 events");
    EXPECT_TRUE(d.dialogs.texts("warn").isEmpty())
        << d.dialogs.texts("warn").join('\n').toStdString();
}
