#include "measurement/RunSequence.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "files/DataFileNaming.h"
#include "files/OvdLoader.h"
#include "measurement/RunTexts.h"

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

// The one place the port's notifications reach the run.
void RunSequence::installPortHandlers() {
    port_.setReadyHandler([this] { onBytesArrived(); });
    port_.setErrorHandler([this](const QString& reason) { onPortFailed(reason); });
    handlersInstalled_ = true;
}

void RunSequence::removePortHandlers() {
    if (!std::exchange(handlersInstalled_, false)) return;
    port_.setReadyHandler(nullptr);
    port_.setErrorHandler(nullptr);
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
    journalBegun_ = journalFailed_ = conversing_ = false;
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

void RunSequence::step(const std::function<void(InstrumentConversation&)>& act) {
    const std::shared_ptr<InstrumentConversation> conv = conv_;  // lives through the step
    drainPort();
    act(*conv);
    pump();
}

// Carries out what the conversation asked for, in order, then sets the timer for its next
// wake.
void RunSequence::pump() {
    if (pumping_ || !conv_) return;
    pumping_ = true;
    const std::shared_ptr<InstrumentConversation> conv = conv_;
    while (auto out = conv->takeOutput()) handle(*out);
    pumping_ = false;
    arm();
}

void RunSequence::handle(const ConversationOutput& out) {
    using Kind = ConversationOutput::Kind;
    switch (out.kind) {
        case Kind::Send:
            write(out.text);
            break;
        case Kind::StatusLine:
            ui_.setStatusLine(out.text, out.shown);
            break;
        case Kind::MessageLine:
            ui_.setMessageLine(out.text, out.shown);
            break;
        case Kind::Cell:
            ui_.setCell(out.row, out.column, out.text);
            break;
        case Kind::Reading:
            ui_.setCell(out.row, out.column, out.text);
            journalReading(out.set, out.row, out.column, Reading{out.value, out.time});
            break;
        case Kind::DatasetBegun:
            ui_.shadeSelectedWells();
            break;
        case Kind::DatasetDone:
            journalDataset(out.set, out.value);
            break;
        case Kind::WindowPrepared:
            prepareWindow();
            break;
        case Kind::OptionsLocked:
            ui_.setOptionsEnabled(false);
            break;
        case Kind::BusyCursor:
            ui_.setBusyCursor(out.shown);
            break;
        case Kind::ExcelEnabled:
            ui_.setExcelEnabled(out.shown);
            break;
        case Kind::LiveSetLabel:
            ui_.setLiveSetLabel(out.text);
            break;
        case Kind::CancelTaken:
            ui_.setStartCancelCaption(QStringLiteral("&Start"));
            break;
        case Kind::Notice:
            ui_.notify(out.text);
            break;
        case Kind::Question:
            ask(out);
            break;
        case Kind::Ended:
            conversationEnded();
            break;
    }
}

void RunSequence::ask(const ConversationOutput& out) {
    std::weak_ptr<InstrumentConversation> conv = conv_;
    auto answered = std::make_shared<bool>(false);
    // The answer may come at once or much later; either way the run resumes from the event
    // loop, never from inside the question.
    auto done = [this, conv, answered](bool yes) {
        if (conv.expired() || std::exchange(*answered, true)) return;
        post([this, conv, yes] {
            if (conv.lock() != conv_) return;
            step([this, yes](InstrumentConversation& c) { c.answer(yes, scheduler_.now_ms()); });
        });
    };
    switch (out.question) {
        case RunQuestion::NotResponding:
            ui_.askRetryCancel(QString::fromLatin1(kCommunicationErrorTitle), out.text, done);
            break;
        case RunQuestion::Priming:
            ui_.askOkCancel(out.text, done);
            break;
        case RunQuestion::KeepPartial:
            ui_.askKeepPartial(out.text, out.count, done);
            break;
    }
}

// A wake that is due runs on the next turn of the event loop; a deadline, once reached, does
// too, so whatever else is due at the same moment (bytes arriving) is seen first.
void RunSequence::arm() {
    if (pumping_) return;
    const auto cancelTimer = [this] {
        if (timer_) scheduler_.cancel(timer_);
        timer_ = 0;
    };
    if (!conv_ || conv_->ended() || !conversing_) return cancelTimer();
    if (conv_->wakeDue()) {
        if (timer_ && timerForWake_) return;
        cancelTimer();
        timerForWake_ = true;
        timer_ = scheduler_.callAt(scheduler_.now_ms(), [this] {
            timer_ = 0;
            step([this](InstrumentConversation& c) { c.advance(scheduler_.now_ms()); });
        });
        return;
    }
    const auto deadline = conv_->nextDeadline();
    if (timer_ && (timerForWake_ || (deadline == timerDeadline_ && timerWait_ == conv_->waits())))
        return;
    cancelTimer();
    if (!deadline) return;
    timerForWake_ = false;
    timerDeadline_ = deadline;
    timerWait_ = conv_->waits();
    timer_ = scheduler_.callAt(*deadline, [this] {
        timerForWake_ = true;
        timer_ = scheduler_.callAt(scheduler_.now_ms(), [this] {
            timer_ = 0;
            step([this](InstrumentConversation& c) { c.advance(scheduler_.now_ms()); });
        });
    });
}

void RunSequence::post(std::function<void()> fn) {
    std::weak_ptr<bool> alive = alive_;
    scheduler_.callAt(scheduler_.now_ms(), [alive, fn = std::move(fn)] {
        if (!alive.expired()) fn();
    });
}

void RunSequence::drainPort() {
    if (conversing_ && !conv_->ended() && port_.isOpen() && port_.bytesWaiting() > 0)
        conv_->feed(port_.read(), scheduler_.now_ms());
}

void RunSequence::write(const QString& line) {
    if (!port_.write(line.toLatin1() + "\r\n"))
        onPortFailed(QStringLiteral("writing to %1 failed").arg(port_.portName()));
}

void RunSequence::onBytesArrived() {
    if (!running_) return;
    drainPort();
    arm();
}

void RunSequence::onPortFailed(const QString& reason) {
    if (!running_ || !conv_ || conv_->ended() || conv_->failed()) return;
    failure_ = reason;
    conv_->portFailed(scheduler_.now_ms());
    pump();
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
    if (stoppedBy(StopReason::PortFailed)) ui_.reportError(portFailureText());
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
        ui_.reportError(portFailureText());
    } else if (stoppedBy(StopReason::UserCancelled)) {
        outcome_ = RunOutcome::Cancelled;
    } else if (state_.HasData && !saved) {
        outcome_ = RunOutcome::Failed;
    } else {
        outcome_ = RunOutcome::Completed;
    }
    if (!state_.RunStopped && saved) reloadSavedFile();
}

bool RunSequence::saveDocument() {
    state_.DataDate = wallClock_();
    const WriteResult written = SaveDocument(state_, state_.DataDate);
    NextDataFileTitle(state_);
    if (written.ok) return true;
    failure_ = QStringLiteral("The data could not be saved to %1: %2")
                   .arg(QDir::toNativeSeparators(state_.DataFileName), written.error);
    ui_.saveFailed(failure_);
    return false;
}

void RunSequence::reloadSavedFile() {
    const LoadResult loaded = LoadDataFile(state_, state_.DataFileName, wholeSeconds());
    if (!loaded.ok) {
        failure_ = loaded.message;
        outcome_ = RunOutcome::Failed;
        ui_.reportError(loaded.message);
    }
    ui_.repaint();
}

QString RunSequence::portFailureText() const {
    return QStringLiteral("The connection to the instrument was lost: %1").arg(failure_);
}

qint64 RunSequence::wholeSeconds() const {
    return std::llround(scheduler_.now_ms() / 1000.0);
}

}  // namespace vantorix
