// The measurement window's document view: repaint from the document, the results grid, the
// set browser and the link monitor's tick.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>

#include "files/RecoveredNote.h"
#include "kernel/Scheduler.h"
#include "kernel/Text.h"
#include "measurement/LinkMonitor.h"
#include "measurement/RunSequence.h"
#include "measurement/frmZyvora.h"
#include "options/WellSelection.h"
#include "plate/DocumentSession.h"
#include "results/GuiResultsGrid.h"
#include "results/GuiResultsPanel.h"

namespace vantorix {

namespace {
const QString kViewTimes = QStringLiteral("&View Times");
const QString kViewData = QStringLiteral("&View Data");
constexpr qint64 kComStatusInterval_ms = 100;
}  // namespace

GridMode frmZyvora::gridMode() const {
    return cmdToggleDataTime->text() == kViewTimes ? GridMode::Readings : GridMode::Times;
}

void frmZyvora::InitResultsGrid() {
    layOutResultsGrid(*grdResults);
}

void frmZyvora::ShowCurrentSet() {
    const PlateDocument& d = session_.document();
    lblDatasets->setText(d.header.setsText + QStringLiteral(" available"));
    fillResultsGrid(*grdResults, d, session_.shownSet(), gridMode(),
                    d.declaredSets.value_or(0) > 0);
    results_->refresh();
}

void frmZyvora::shadeSelectedWells() {
    if (results_) results_->refresh();  // the grid's well statuses
}

void frmZyvora::showConfirmedOptions() {
    const RunOptions& o = session_.runOptions();
    lblExtraSensitivityStatus->setText(o.Sensitive == 1 ? QStringLiteral("On")
                                                        : QStringLiteral("Off"));
    showNumberOfRuns(o.RepeatMode ? QString::number(o.Repeats) : QStringLiteral("1"));
    shadeSelectedWells();
}

void frmZyvora::repaintGUI() {
    const int sets = session_.document().declaredSets.value_or(0);
    session_.setSetCount(sets);
    setDatasetBrowserVisible(sets > 1);
    session_.setShownSet(1);
    if (session_.canEdit()) {
        setEditControlsEnabled(true);
        const RunOptions& o = session_.runOptions();
        lblExtraSensitivityStatus->setText(o.Sensitive == 1 ? QStringLiteral("On")
                                                            : QStringLiteral("Off"));
        // The number of datasets the next run will measure.
        showNumberOfRuns(o.RepeatMode ? QString::number(o.Repeats) : QStringLiteral("1"));
    } else {
        // A stored document can be neither edited nor started again until File > New.
        setEditControlsEnabled(false);
        refreshHeaderFromStore();
    }
    InitResultsGrid();
    ShowCurrentSet();
    shadeSelectedWells();
    lblDataset->setText(QString::number(session_.shownSet()));
    // The caption names the document: its file once there is one, else a new measurement.
    const PlateHeader& h = session_.document().header;
    if (!session_.document().fromFile)
        setWindowTitle(QStringLiteral("New measurement"));
    else if (!session_.path().isEmpty())
        setWindowTitle(documentTitle());
    lblRunDate->setText(h.dateText.isEmpty() ? QString()
                                             : QStringLiteral("Measured ") +
                                                   headerDateTimeText(h.dateText, h.timeText));
}

QString frmZyvora::documentTitle() const {
    const QString name = QFileInfo(session_.path()).fileName();
    const QString note = recoveredNoteIn(session_.document().header.notes);
    return note.isEmpty() ? name : name + u' ' + note;
}

void frmZyvora::setEditControlsEnabled(bool enabled) {
    // A stored document's header stays readable: its fields are read-only, not greyed out.
    for (QLineEdit* field : {txtTest, txtOperator, txtPlateNo, txtNotes}) {
        field->setEnabled(true);
        field->setReadOnly(!enabled);
    }
    cmdStartCancel->setEnabled(enabled);
    optionsWanted_ = enabled;
    cmdOptions->setEnabled(enabled && optionsHandler_);
}

void frmZyvora::refreshHeaderFromStore() {
    const PlateHeader& h = session_.document().header;
    txtOperator->setText(h.operatorName);
    txtPlateNo->setText(h.plateNo);
    txtNotes->setText(h.notes);
    txtTest->setText(h.test);
    const bool on = h.sensitivityText.toUpper() == u"ON";
    lblExtraSensitivityStatus->setText(on ? QStringLiteral("On") : QStringLiteral("Off"));
    showNumberOfRuns(h.setsText);
}

void frmZyvora::showNumberOfRuns(const QString& text) {
    lblNumberOfRuns->setText(text);
    lblNumberOfRunsTitle->show();
    lblNumberOfRuns->show();
}

void frmZyvora::setDatasetBrowserVisible(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(lblDataset), static_cast<QWidget*>(lblDatasets),
                       static_cast<QWidget*>(picSpinUp), static_cast<QWidget*>(picSpinDown)})
        w->setVisible(visible);
}

void frmZyvora::cmdToggleDataTime_Click() {
    cmdToggleDataTime->setText(cmdToggleDataTime->text() == kViewTimes ? kViewData : kViewTimes);
    const RunState& run = run_->runState();
    if (!run.measuring()) return ShowCurrentSet();
    // During a run the grid shows the set being measured, pending wells and all.
    if (run.setsCleared)
        fillRunningSet(*grdResults, session_.document(), run.set, gridMode(),
                       session_.runOptions().SelectedWells);
}

void frmZyvora::picSpinDown_Click() {
    const int n = session_.shownSet() - 1;
    if (n < 1) return;
    session_.setShownSet(n);
    ShowCurrentSet();
}

void frmZyvora::picSpinUp_Click() {
    const int n = session_.shownSet() + 1;
    if (n > session_.setCount() || n > kMaxSets) return;
    session_.setShownSet(n);
    ShowCurrentSet();
}

void frmZyvora::tmrComStatus_Timer() {
    LinkMonitorInput in;
    in.timer_s = scheduler_.now_ms() / 1000.0;
    in.LinkActivityTime = run_->runState().linkActivityTime;
    in.RunActive = run_->runState().measuring();
    in.startCaptionIsStart = cmdStartCancel->text() == QStringLiteral("&Start");
    in.documentRecognised = session_.document().recognised;
    in.ComStatusStep = ComStatusStep;
    const LinkMonitorOutput out = linkMonitorTick(in);

    ComStatusStep = out.ComStatusStep;
    QLabel* picture = out.picture == LinkMonitorOutput::Picture::ComOK
                          ? picComOK[qBound(0, out.frame, 6)]
                          : picComQuestion[qBound(0, out.frame, 1)];
    picComStatus->setCurrentWidget(picture);
    ComStatusLowRes->setVisible(out.runIndicatorVisible);
    cmdInsertDataIntoMicrosoftExcel->setEnabled(out.excelEnabled);
    emit firmwareDownloadAllowed(out.firmwareMenuEnabled);
    showRunProgress();
    scheduleComStatusTick();
}

void frmZyvora::showRunProgress() {
    RunProgressInput in;
    in.phase = run_->running() ? run_->phase() : RunPhase::Idle;
    if (in.phase != RunPhase::Idle) {
        const qint64 now = scheduler_.now_ms();
        const RunState& run = run_->runState();
        in.set = run.set - run.firstSet + 1;
        in.sets = run.plannedSets();
        in.wellsSelected = selectedCount(session_.runOptions().SelectedWells);
        // Until the run's sets are emptied the table holds another document's readings.
        for (int r = 0; r < kPlateRows && run.setsCleared; ++r)
            for (int c = 0; c < kPlateColumns; ++c)
                if (session_.runOptions().SelectedWells[r][c] &&
                    session_.document().reading(run.set, r + 1, c + 1).raw)
                    ++in.wellsRead;
        in.elapsed_ms = now - run_->runStarted_ms();
        in.phaseElapsed_ms = now - run_->phaseStarted_ms();
        in.delay_ms = qint64(session_.runOptions().Delay) * 1000;
    }
    results_->showProgress(in);
}

PanelRun frmZyvora::panelRun() const {
    const RunState& run = run_->runState();
    return PanelRun{run.measuring(), run.firstSet, run.lastSet, run.set, run.setsCleared};
}

void frmZyvora::scheduleComStatusTick() {
    if (comStatusTimer_) scheduler_.cancel(comStatusTimer_);
    comStatusTimer_ = scheduler_.callAfter(kComStatusInterval_ms, whileOpen([this] {
                                               comStatusTimer_ = 0;
                                               tmrComStatus_Timer();
                                           }));
}

}  // namespace vantorix
