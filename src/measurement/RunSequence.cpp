#include "measurement/RunSequence.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "files/DataFileNaming.h"
#include "files/OvdLoader.h"
#include "files/ParseDump.h"
#include "files/PlateFile.h"
#include "measurement/RunTexts.h"

namespace vantorix {

RunSequence::RunSequence(DocumentSession& session, RunOptions& defaults, DataFolders& folders,
                         SerialPort& port, Scheduler& scheduler, RunFrontEnd& ui,
                         WallClock wallClock)
    : session_(session),
      defaults_(defaults),
      folders_(folders),
      port_(port),
      scheduler_(scheduler),
      ui_(ui),
      wallClock_(std::move(wallClock)) {
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
    run_.stage = RunStage::Starting;
    ui_.runStarted();
    conv_ =
        std::make_shared<InstrumentConversation>(run_, session_.runOptions(), scheduler_.now_ms());
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
    run_.startTime = -1;
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
    title_ = freeDataFileTitle(title_, folders_.data);
    std::weak_ptr<InstrumentConversation> conv = conv_;
    auto answered = std::make_shared<bool>(false);
    ui_.askDataFileName(title_, folders_.data, [this, conv, answered](QString path) {
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
    run_.setsCleared = false;
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
                if (end.partialKept) session_.setHasData(true);
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
    ui_.runStopped();
    run_.stage = RunStage::Stopped;
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
    session_.setPath(path);
    title_ = info.fileName();
    folders_.data = info.absolutePath();
    ui_.setCaption(info.fileName());
}

// The instrument answered: the document starts empty for the run's sets. A well that gets no
// reading in this run must never keep one from an earlier document.
void RunSequence::planSets(int sets) {
    session_.setHasData(false);
    session_.setSaved(false);
    session_.clearSets(sets);
    run_.setsCleared = true;
    ui_.setsPlanned(sets);
    ui_.setMessageLine(QString(), false);
}

void RunSequence::finishRun(int completed, int planned, int readingsLeftOut) {
    // The file holds the datasets that were completed, so the set range shrinks before saving.
    run_.lastSet = static_cast<qint16>(run_.firstSet + completed - 1);
    session_.setSetRange(run_.firstSet, run_.lastSet);
    bool saved = false;
    if (session_.hasData()) saved = saveDocument();
    settleJournal(saved, readingsLeftOut);
    if (completed == planned && !stoppedBy(StopReason::UserCancelled) &&
        !stoppedBy(StopReason::PortFailed)) {
        session_.runOptions().Prime1 = 0;
        defaults_.Prime1 = 0;
    }
    if (completed > 1) {
        session_.setShownSet(session_.lastSet());
        session_.setSetCount(completed);
    }
    ui_.setMessageLine(QString(), false);
    ui_.measuringEnded(completed);
    touchActivity();
    session_.setCanEdit(true);
    if (stoppedBy(StopReason::PortFailed)) {
        outcome_ = RunOutcome::Failed;
        ui_.reportError(portFailure_);
    } else if (stoppedBy(StopReason::UserCancelled)) {
        outcome_ = RunOutcome::Cancelled;
    } else if (session_.hasData() && !saved) {
        outcome_ = RunOutcome::Failed;
    } else {
        outcome_ = RunOutcome::Completed;
    }
    if (!run_.stopped() && saved) reloadSavedFile();
}

bool RunSequence::saveDocument() {
    savedAt_ = wallClock_();
    const WriteResult written = saveFile(savedAt_);
    title_ = nextDataFileTitle(title_, folders_.data);
    if (written.ok) return true;
    failure_ = QString::fromLatin1(kSaveFailedText)
                   .arg(QDir::toNativeSeparators(session_.path()), written.error);
    ui_.saveFailed(failure_);
    return false;
}

WriteResult RunSequence::saveFile(const QDateTime& when) {
    if (session_.path().isEmpty()) return {false, QStringLiteral("no data file has been named")};
    const PlateDocument file = runDocument(session_.document(), session_.runOptions(),
                                           session_.firstSet(), session_.lastSet());
    const WriteResult written =
        writePlateFile(file, resolveDataPath(folders_.data, session_.path()), when);
    if (written.ok) session_.setSaved(true);
    return written;
}

void RunSequence::reloadSavedFile() {
    const LoadResult loaded = LoadDataFile(session_, folders_.data, session_.path());
    if (loaded.ok) session_.setShownSet(1);
    if (loaded.parsed) writeParseDump(folders_.app, folders_.data, session_.path(), loaded.entries);
    if (!loaded.ok) {
        failure_ = loaded.message;
        outcome_ = RunOutcome::Failed;
        ui_.reportError(loaded.message);
    }
    ui_.documentReloaded();
}

// Not a completed measurement: the run fails, and the user learns the likely cause.
void RunSequence::reportUnreadSet(int set) {
    int selected = 0;
    for (const auto& row : session_.runOptions().SelectedWells)
        selected += static_cast<int>(std::count(row.begin(), row.end(), true));
    failure_ = QString::fromLatin1(kNoReadingsText).arg(set).arg(selected);
    ui_.reportError(failure_);
}

qint64 RunSequence::wholeSeconds() const {
    return std::llround(scheduler_.now_ms() / 1000.0);
}

}  // namespace vantorix
