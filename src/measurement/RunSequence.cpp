#include "measurement/RunSequence.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "files/DataFileNaming.h"
#include "files/OvdLoader.h"
#include "files/ParseDump.h"
#include "measurement/RunTexts.h"
#include "results/CellText.h"

namespace vantorix {

RunSequence::RunSequence(ProgramState& state, SerialPort& port, Scheduler& scheduler,
                         RunFrontEnd& ui, WallClock wallClock)
    : state_(state), port_(port), scheduler_(scheduler), ui_(ui), wallClock_(std::move(wallClock)) {
    if (!wallClock_) wallClock_ = [] { return QDateTime::currentDateTime(); };
}

RunSequence::~RunSequence() {
    alive_.reset();
    if (timer_) scheduler_.cancel(timer_);
    conv_.reset();
    removePortHandlers();
}

void RunSequence::startOrCancel() {
    if (running_)
        cancel();
    else
        start();
}

void RunSequence::start() {
    if (running_) return;
    running_ = true;
    outcome_ = RunOutcome::NotStarted;
    failure_.clear();
    portFailure_.clear();
    journalBegun_ = journalFailed_ = conversing_ = partialKept_ = false;
    runReadings_ = journalReadings_ = readingsLeftOut_ = lastReadingSet_ = 0;
    installPortHandlers();
    state_.RunStopped = false;
    ui_.setStartCancelCaption(QStringLiteral("&Cancel"));
    conv_ = std::make_shared<InstrumentConversation>(state_, scheduler_.now_ms());
    if (!port_.isOpen()) {
        QString reason;
        if (!port_.open(&reason)) {
            failure_ = reason;
            outcome_ = RunOutcome::Failed;
            ui_.reportError(reason);
            endRun();
            return;
        }
    }
    state_.RunStartTime = -1;
    askFileName();
}

void RunSequence::cancel() {
    // A second press while the run unwinds (the button already reads "&Start") does nothing.
    if (!running_ || !conv_) return;
    conv_->cancel(scheduler_.now_ms());
    pump();
}

int RunSequence::unfinishedReadings() const {
    return running_ && conv_ ? conv_->unfinishedReadings() : 0;
}

RunPhase RunSequence::phase() const {
    return running_ && conversing_ ? conv_->phase() : RunPhase::Idle;
}

qint64 RunSequence::phaseStarted_ms() const {
    return running_ && conversing_ ? conv_->phaseStarted_ms() : idleSince_ms_;
}

void RunSequence::askFileName() {
    // The proposal never names a file that is already there.
    state_.DataFileTitle = freeDataFileTitle(state_.DataFileTitle, state_.DataFolder);
    std::weak_ptr<InstrumentConversation> conv = conv_;
    auto answered = std::make_shared<bool>(false);
    ui_.askDataFileName(state_.DataFileTitle, state_.DataFolder,
                        [this, conv, answered](QString path) {
                            if (conv.expired() || std::exchange(*answered, true)) return;
                            post([this, conv, path] {
                                if (conv.lock() == conv_) onFileChosen(path);
                            });
                        });
}

void RunSequence::onFileChosen(const QString& path) {
    if (path.isEmpty()) {  // the user cancelled the naming: nothing is sent
        endRun();
        return;
    }
    if (stoppedBy(StopReason::UserCancelled)) {  // a signal cancelled it while it was named
        outcome_ = RunOutcome::Cancelled;
        endRun();
        return;
    }
    applyChosenFile(path);
    conversing_ = true;
    step([this](InstrumentConversation& c) { c.begin(scheduler_.now_ms()); });
}

void RunSequence::conversationEnded() {
    const ConversationEnd& end = conv_->end();
    if (!end.error.isEmpty()) {
        failure_ = end.error;
    } else {
        switch (end.kind) {
            case ConversationEnd::Kind::NotReady:
                endedEarly();
                break;
            case ConversationEnd::Kind::Stopped:
                endedEarly();
                if (outcome_ == RunOutcome::NotStarted) outcome_ = RunOutcome::Cancelled;
                break;
            case ConversationEnd::Kind::PrimingRefused:
                break;
            case ConversationEnd::Kind::Datasets:
                partialKept_ = end.partialKept;
                if (end.unreadSet > 0) reportUnreadSet(end.unreadSet);
                finishRun(end.completed, end.planned, end.readingsLeftOut);
                break;
        }
    }
    endRun();
}

// The run is over: the window's controls are given back, and on the next turn the run stops
// running and the front end is told, so a front end that starts the next run (or lets go of
// this one) from runFinished() never does so inside this run's own calls.
void RunSequence::endRun() {
    if (!failure_.isEmpty() && outcome_ != RunOutcome::Failed) outcome_ = RunOutcome::Failed;
    dropEmptyJournal();
    ui_.setStartCancelCaption(QStringLiteral("&Start"));
    state_.RunStopped = true;
    state_.RunActive = false;
    state_.Receiving = false;
    ui_.setStatusLine(QString(), false);
    conversing_ = false;
    idleSince_ms_ = scheduler_.now_ms();
    post([this] {
        running_ = false;
        ui_.runFinished();  // may start the next run or destroy this one: nothing follows
    });
}

void RunSequence::endedEarly() {
    if (stoppedBy(StopReason::PortFailed))
        outcome_ = RunOutcome::Failed;
    else if (stoppedBy(StopReason::UserCancelled))
        outcome_ = RunOutcome::Cancelled;
    if (stoppedBy(StopReason::PortFailed)) ui_.reportError(portFailure_);
}

void RunSequence::applyChosenFile(const QString& chosen) {
    const QString path = withOvdExtension(chosen);
    const QFileInfo info(path);
    state_.DataFileName = path;
    state_.DataFileTitle = info.fileName();
    state_.DataFolder = info.absolutePath();
    ui_.setCaption(info.fileName());
}

// The conversation has cleared the run's datasets: the window shows an empty grid.
void RunSequence::prepareWindow() {
    ui_.initResultsGrid();
    ui_.setExcelEnabled(false);
    ui_.setDatasetBrowserVisible(false);
    ui_.setMessageLine(QString(), false);
}

void RunSequence::finishRun(int completed, int planned, int readingsLeftOut) {
    state_.Receiving = false;
    // The file holds the datasets that were completed, so the set range shrinks before saving.
    state_.LastSet = static_cast<qint16>(state_.FirstSet + completed - 1);
    bool saved = false;
    if (state_.HasData) saved = saveDocument();
    settleJournal(saved, readingsLeftOut);
    ui_.setLiveSetLabel(QString());
    if (completed == planned && !stoppedBy(StopReason::UserCancelled) &&
        !stoppedBy(StopReason::PortFailed)) {
        state_.CurrentOptions.Prime1 = 0;
        state_.DefaultOptions.Prime1 = 0;
    }
    if (completed > 1) {
        state_.CurrentSet = state_.LastSet;
        state_.SetCount = static_cast<qint16>(completed);
        ui_.setDatasetBrowserVisible(true);
    }
    ui_.setMessageLine(QString(), false);
    ui_.setOptionsEnabled(true);
    ui_.focusStartButton();
    touchActivity();
    state_.CanEdit = true;
    if (stoppedBy(StopReason::PortFailed)) {
        outcome_ = RunOutcome::Failed;
        ui_.reportError(portFailure_);
    } else if (stoppedBy(StopReason::UserCancelled)) {
        outcome_ = RunOutcome::Cancelled;
    } else if (state_.HasData && !saved) {
        outcome_ = RunOutcome::Failed;
    } else {
        outcome_ = RunOutcome::Completed;
    }
    if (!state_.RunStopped && saved) reloadSavedFile();
}

// The wells of the dataset being measured start pending.
void RunSequence::showLiveSet() {
    const RunOptions& o = state_.CurrentOptions;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column)
            ui_.setCell(row, column,
                        o.SelectedWells[row - 1][column - 1] ? QString::fromLatin1(kPendingCellText)
                                                             : runCellText(std::nullopt, false));
}

void RunSequence::showDataset(int set) {
    const RunOptions& o = state_.CurrentOptions;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column)
            ui_.setCell(row, column,
                        runCellText(state_.document.reading(set, row, column).raw,
                                    o.SelectedWells[row - 1][column - 1]));
}

bool RunSequence::saveDocument() {
    state_.DataDate = wallClock_();
    const WriteResult written = SaveDocument(state_, state_.DataDate);
    NextDataFileTitle(state_);
    if (written.ok) return true;
    failure_ = QString::fromLatin1(kSaveFailedText)
                   .arg(QDir::toNativeSeparators(state_.DataFileName), written.error);
    ui_.saveFailed(failure_);
    return false;
}

void RunSequence::reloadSavedFile() {
    const LoadResult loaded = LoadDataFile(state_, state_.DataFileName, wholeSeconds());
    if (loaded.parsed)
        writeParseDump(state_.AppFolder, state_.DataFolder, state_.DataFileName, loaded.entries);
    if (!loaded.ok) {
        failure_ = loaded.message;
        outcome_ = RunOutcome::Failed;
        ui_.reportError(loaded.message);
    }
    ui_.repaint();
}

// Not a completed measurement: the run fails, and the user learns the likely cause.
void RunSequence::reportUnreadSet(int set) {
    int selected = 0;
    for (const auto& row : state_.CurrentOptions.SelectedWells)
        selected += static_cast<int>(std::count(row.begin(), row.end(), true));
    failure_ = QString::fromLatin1(kNoReadingsText).arg(set).arg(selected);
    ui_.reportError(failure_);
}

qint64 RunSequence::wholeSeconds() const {
    return std::llround(scheduler_.now_ms() / 1000.0);
}

}  // namespace vantorix
