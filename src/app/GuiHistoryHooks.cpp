#include "app/GuiHistoryHooks.h"

#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QThread>

#include "analysis/GuiAnalysisView.h"
#include "analysis/LayoutFile.h"
#include "app/GuiDesktopWiring.h"
#include "frame/frmHistory.h"
#include "frame/frmMain.h"
#include "history/AnalysisEvent.h"
#include "measurement/frmZyvora.h"
#include "plate/DocumentSession.h"
#include "protocols/frmProtocols.h"
#include "results/GuiResultsPanel.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

namespace {

// The header fields of the measurement window, by the names the history gives them.
const std::pair<const char*, const char*> kHeaderFields[] = {{"txtOperator", "operator"},
                                                             {"txtTest", "test"},
                                                             {"txtPlateNo", "plate-no"},
                                                             {"txtNotes", "notes"}};

}  // namespace

GuiHistoryHooks::GuiHistoryHooks(frmMain& frame, Scheduler& scheduler, OpenHistory openHistory,
                                 const QString& protocolsFolder)
    : QObject(&frame),
      frame_(frame),
      session_(frame.session()),
      scheduler_(scheduler),
      openHistory_(std::move(openHistory)),
      protocolsFolder_(protocolsFolder) {
    setObjectName(QStringLiteral("historyHooks"));
    frame.setEntryHandler(frmMain::Entry::History, [this] { showHistory(); });
    frame.setEntryHandler(frmMain::Entry::NewFromProtocol, [this] { newFromProtocol(); });
    frame.setEntryHandler(frmMain::Entry::SaveProtocol, [this] { saveSettingsAsProtocol(); });
    connect(&frame, &frmMain::measurementWindowCreated, this,
            &GuiHistoryHooks::hookMeasurementWindow);
    if (frame.hasMeasurementWindow()) hookMeasurementWindow(&frame.measurementWindow());
}

RunHistory& GuiHistoryHooks::history() {
    if (!history_) history_ = openHistory_();
    return *history_;
}

GuiHistoryHooks::~GuiHistoryHooks() {
    if (integrityCheck_) integrityCheck_->wait();
}

void GuiHistoryHooks::checkIntegrityInBackground(const QString& database) {
    integrityCheck_.reset(QThread::create([this, database] {
        history::History own(database);
        QString notice = own.takeSetAsideNotice();  // not a database at all
        own.checkIntegrity();
        if (notice.isEmpty()) notice = own.takeSetAsideNotice();
        if (notice.isEmpty()) return;
        QMetaObject::invokeMethod(
            this, [this, notice] { frame_.dialogs().warn(&frame_, notice); }, Qt::QueuedConnection);
    }));
    integrityCheck_->start(QThread::LowPriority);
}

GuiHistoryHooks* GuiHistoryHooks::of(const frmMain& frame) {
    return frame.findChild<GuiHistoryHooks*>(QStringLiteral("historyHooks"),
                                             Qt::FindDirectChildrenOnly);
}

void GuiHistoryHooks::hookMeasurementWindow(frmZyvora* window) {
    connect(window, &frmZyvora::runningChanged, this, [this, window](bool running) {
        if (running)
            history().runStarted(session_.runOptions());
        else
            history().runEnded(session_.saved() ? session_.path() : QString(),
                               window->runSequence().outcome(), window->runSequence().failure());
        tellOnce();
    });
    connect(&window->resultsPanel(), &GuiResultsPanel::exportWritten, this,
            [this](const QString& kind, const QString& path) {
                const QString file = QFileInfo(session_.path()).absoluteFilePath();
                const QString written = QFileInfo(path).absoluteFilePath();
                record(kind == u"pdf" ? history::events::reportWritten(file, kind, written)
                                      : history::events::exportWritten(file, kind, written));
            });
    GuiAnalysisView* view = window->resultsPanel().analysisView();
    connect(view, &GuiAnalysisView::analysed, this, [this, view] { analysed(*view); });
    connect(window, &frmZyvora::savedElsewhere, this,
            [this](const QString& intended, const QString& reason, const QString& path) {
                history().savedElsewhere(intended, reason, path);
                tellOnce();
            });
    for (const auto& [object, name] : kHeaderFields)
        if (auto* field = window->findChild<QLineEdit*>(QLatin1String(object)))
            watchHeaderField(field, QLatin1String(name));
}

// An edit of a header text counts once the user leaves the field, and only in the window of a
// saved file: a new run's header is part of the run.
void GuiHistoryHooks::watchHeaderField(QLineEdit* field, const QString& name) {
    headerBefore_[field] = field->text();
    // Texts the program sets (a file shown, a new document) are no edit of the user's.
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString& text) {
        if (!edited_.contains(field)) headerBefore_[field] = text;
    });
    connect(field, &QLineEdit::textEdited, this, [this, field] { edited_.insert(field); });
    connect(field, &QLineEdit::editingFinished, this, [this, field, name] {
        if (!edited_.remove(field)) return;
        const QString before = std::exchange(headerBefore_[field], field->text());
        if (before == field->text() || session_.path().isEmpty() || !session_.saved()) return;
        record(history::events::headerChanged(QFileInfo(session_.path()).absoluteFilePath(), name,
                                              before, field->text()));
    });
}

// An analysis of a saved file with a layout: the layout file beside it (or, before it is
// written, the layout's CSV form) by its SHA-256, the model and the wells left out.
void GuiHistoryHooks::analysed(const GuiAnalysisView& view) {
    if (view.dataPath().isEmpty() || view.plateLayout().isEmpty() ||
        !view.analysis().problem.isEmpty())
        return;
    const QString beside = layoutPathFor(view.dataPath());
    const QString layoutSha =
        QFileInfo::exists(beside)
            ? history::fileSha256(beside)
            : history::bytesSha256(layoutCsvText(view.plateLayout()).toUtf8());
    history::Event event = history::events::analysisDone(
        QFileInfo(view.dataPath()).absoluteFilePath(), layoutSha,
        curveModelKey(view.settings().model), history::excludedWells(view.plateLayout()));
    if (event == lastAnalysis_) return;
    lastAnalysis_ = event;
    record(event);
}

void GuiHistoryHooks::fileOpened(const QString& path) {
    history().fileOpened(path);
    tellOnce();
}

void GuiHistoryHooks::recovered(const QString& path) {
    history().fileWritten(path);
    record(history::events::runRecovered({}, QFileInfo(path).absoluteFilePath()));
}

void GuiHistoryHooks::record(const history::Event& event) {
    history().record(event);
    tellOnce();
}

void GuiHistoryHooks::tellOnce() {
    if (const QString notice = history().takeNotice(); !notice.isEmpty())
        frame_.dialogs().warn(&frame_, notice);
}

void GuiHistoryHooks::showHistory() {
    if (!window_) {
        window_ = new frmHistory(
            history().db(), [this](const QString& path) { openDocumentFile(frame_, path); },
            &frame_);
    }
    const QString open =
        session_.path().isEmpty() ? QString() : QFileInfo(session_.path()).absoluteFilePath();
    window_->refresh(open);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void GuiHistoryHooks::newFromProtocol() {
    auto* dialog = new frmProtocols(
        frmProtocols::Mode::Choose, protocolsFolder_, frame_.dialogs(),
        [this](const StoredProtocol& chosen) {
            frame_.mnuFileNew_Click();
            session_.runOptions() = chosen.protocol.options;
            frame_.measurementWindow().showConfirmedOptions();
            frame_.measurementWindow().resultsPanel().analysisView()->presetAnalysis(
                chosen.protocol.layout, chosen.protocol.analysis);
            history().useProtocol(chosen.protocol.name, chosen.sha256, chosen.protocol.options);
        },
        &frame_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void GuiHistoryHooks::saveSettingsAsProtocol() {
    auto* dialog =
        new frmProtocols(frmProtocols::Mode::Save, protocolsFolder_, frame_.dialogs(), {}, &frame_);
    AssayProtocol protocol;
    // The options the next run uses: the open run's when one is being prepared.
    protocol.options = frame_.hasMeasurementWindow() && session_.canEdit() ? session_.runOptions()
                                                                           : frame_.runDefaults();
    // The layout and analysis settings of the analysis view, when it has a layout.
    if (frame_.hasMeasurementWindow()) {
        const GuiAnalysisView& view = *frame_.measurementWindow().resultsPanel().analysisView();
        if (!view.plateLayout().isEmpty()) {
            protocol.layout = view.plateLayout();
            protocol.analysis = view.settings();
        }
    }
    dialog->setToSave(protocol);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AuditedSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    const QString absent = QStringLiteral("\x01absent");
    const QString before = store_.read(section, key, absent);
    store_.write(section, key, value);
    // A key written for the first time stores the default the program has been using (the
    // first shut-down writes every run default), so only a stored value that changes counts.
    if (before != value && before != absent && record_)
        record_(history::events::settingsChanged(section + u'/' + key, before, value));
}

}  // namespace vantorix
