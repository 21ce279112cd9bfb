#include "measurement/RunSequence.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "files/DataFileNaming.h"
#include "files/OvdLoader.h"
#include "kernel/Text.h"
#include "measurement/RunAwaiters.h"
#include "measurement/RunTexts.h"

namespace vantorix {

RunSequence::RunSequence(ProgramState& state, SerialPort& port, Scheduler& scheduler,
                         RunFrontEnd& ui, WallClock wallClock)
    : state_(state), port_(port), scheduler_(scheduler), ui_(ui), wallClock_(std::move(wallClock)) {
    if (!wallClock_) wallClock_ = [] { return QDateTime::currentDateTime(); };
}

RunSequence::~RunSequence() {
    destroying_ = true;
    alive_.reset();
    if (waiterTimer_) scheduler_.cancel(waiterTimer_);
    task_ = {};
    onReady_.reset();
    onError_.reset();
}

RunSequence::NoEvents::~NoEvents() {
    if (--run.noEventsDepth_ == 0 && run.cancelPending_ && !run.destroying_) {
        run.cancelPending_ = false;
        run.doCancel();
    }
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
    portFailed_ = false;
    userCancelled_ = false;
    cancelPending_ = false;
    pending_.clear();
    journalBegun_ = journalFailed_ = datasetOpen_ = noticeDeferred_ = false;
    readingsLeftOut_ = 0;
    onReady_ = port_.onReady([this] { onBytesArrived(); });
    onError_ = port_.onError([this](const QString& reason) { onPortFailed(reason); });
    state_.RunStopped = false;
    ui_.setStartCancelCaption(QStringLiteral("&Cancel"));
    task_ = run();
    task_.start();
}

void RunSequence::cancel() {
    // A second press while the run unwinds (the button already reads "&Start") does nothing.
    if (!running_ || state_.RunStopped) return;
    if (noEventsDepth_ > 0) {
        cancelPending_ = true;
        return;
    }
    doCancel();
}

void RunSequence::doCancel() {
    if (!running_ || state_.RunStopped) return;
    state_.RunStopped = true;
    state_.RunActive = false;
    userCancelled_ = true;
    ui_.setStartCancelCaption(QStringLiteral("&Start"));
    ui_.setStatusLine(QString(), false);
    send(QStringLiteral("S"));
    // With readings of an unfinished dataset the notice comes with the offer to keep them.
    if (unfinishedReadings() > 0)
        noticeDeferred_ = true;
    else
        ui_.notify(QString::fromLatin1(kCancelledText));
    if (waiter_ && waiterCancellable_) wake();
}

Task<> RunSequence::run() {
    try {
        co_await runBody();
    } catch (const std::exception& e) {
        failure_ = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure_ = QStringLiteral("unexpected error");
    }
    if (!failure_.isEmpty() && outcome_ != RunOutcome::Failed) outcome_ = RunOutcome::Failed;
    ui_.setStartCancelCaption(QStringLiteral("&Start"));
    state_.RunStopped = true;
    state_.RunActive = false;
    state_.Receiving = false;
    ui_.setStatusLine(QString(), false);
    running_ = false;
    enterPhase(RunPhase::Idle);
    ui_.runFinished();
}

Task<> RunSequence::runBody() {
    if (!port_.isOpen()) {
        QString reason;
        if (!port_.open(&reason)) {
            failure_ = reason;
            outcome_ = RunOutcome::Failed;
            ui_.reportError(reason);
            co_return;
        }
    }
    state_.RunStartTime = -1;
    const QString path = co_await askFileName();
    if (path.isEmpty()) co_return;  // the user cancelled the naming: nothing is sent
    if (userCancelled_) {           // a signal cancelled the run while it was being named
        outcome_ = RunOutcome::Cancelled;
        co_return;
    }
    applyChosenFile(path);

    state_.RunActive = true;
    ui_.setStatusLine(QString(), true);
    runStarted_ms_ = scheduler_.now_ms();
    enterPhase(RunPhase::Handshake);
    const bool ready = co_await handshake();
    if (!ready) {
        endedEarly();
        co_return;
    }
    if (!state_.RunActive) {
        stopEarly();
        co_return;
    }
    prepareWindow();
    if (!state_.RunActive) {
        stopEarly();
        co_return;
    }
    const RunOptions& o = state_.CurrentOptions;
    if (o.Reaction == kReactionFlash && o.Prime1 > 0) {
        const bool primed = co_await askOkCancel(QString::fromLatin1(kPrimingText));
        if (!primed) co_return;
    }
    flush();
    ui_.setOptionsEnabled(false);
    state_.OperatorName = state_.Operator;
    co_await runDatasets();
}

void RunSequence::endedEarly() {
    if (portFailed_)
        outcome_ = RunOutcome::Failed;
    else if (userCancelled_)
        outcome_ = RunOutcome::Cancelled;
    if (portFailed_) ui_.reportError(portFailureText());
}

void RunSequence::stopEarly() {
    send(QStringLiteral("S"));
    endedEarly();
    if (outcome_ == RunOutcome::NotStarted) outcome_ = RunOutcome::Cancelled;
}

void RunSequence::applyChosenFile(const QString& chosen) {
    const QString path = withOvdExtension(chosen);
    const QFileInfo info(path);
    state_.DataFileName = path;
    state_.DataFileTitle = info.fileName();
    state_.DataFolder = info.absolutePath();
    ui_.setCaption(info.fileName());
}

void RunSequence::prepareWindow() {
    state_.HasData = false;
    state_.Saved = false;
    ui_.initResultsGrid();
    ui_.setExcelEnabled(false);
    const RunOptions& o = state_.CurrentOptions;
    state_.FirstSet = 1;
    state_.LastSet = o.RepeatMode ? static_cast<qint16>(qBound(1, int(o.Repeats), kMaxSets)) : 1;
    // A well that gets no reading in this run must never keep one from an earlier document.
    for (int set = state_.FirstSet; set <= state_.LastSet; ++set) state_.readings.clearSet(set);
    ui_.setDatasetBrowserVisible(false);
    ui_.setMessageLine(QString(), false);
}

Task<> RunSequence::runDatasets() {
    const int planned = state_.LastSet - state_.FirstSet + 1;
    int completed = 0;
    for (int set = state_.FirstSet; set <= state_.LastSet; ++set) {
        state_.RunSet = static_cast<qint16>(set);
        if (!state_.RunActive) {
            send(QStringLiteral("S"));
            break;
        }
        ui_.shadeSelectedWells();
        beginDataset();
        ui_.setStatusLine(datasetText("Downloading Options", "Downloading Options for "), true);
        enterPhase(RunPhase::Options);
        co_await downloadOptions();
        if (state_.RunStopped || portFailed_) break;
        ui_.setStatusLine(datasetText("Waiting for data", "Waiting for "), true);
        enterPhase(RunPhase::Waiting);
        const bool received = co_await awaitDataset();
        if (!received) break;
        datasetCompleted();
        showDatasetInGrid();
        ui_.setExcelEnabled(true);
        state_.HasData = true;
        ++completed;
        if (set == state_.LastSet) break;
        enterPhase(RunPhase::Delay);
        const bool delayed = co_await delayBetweenDatasets();
        if (!delayed) break;
        enterPhase(RunPhase::Handshake);
        const bool ready = co_await handshake();
        if (!ready) break;
    }
    co_await offerPartialSet(completed);
    finishRun(completed, planned);
}

Task<bool> RunSequence::delayBetweenDatasets() {
    const qint16 delay = state_.CurrentOptions.Delay;
    if (delay <= 0) co_return true;
    ui_.setStatusLine(QString::number(delay) + QStringLiteral(" second delay"), true);
    // A cancel ends the wait at once; what goes on the wire ("S", then "S") is unchanged.
    co_await waitUntil(scheduler_.now_ms() + qint64(delay) * 1000, false, true);
    if (!state_.RunActive) {
        send(QStringLiteral("S"));
        co_return false;
    }
    co_return true;
}

void RunSequence::finishRun(int completed, int planned) {
    state_.Receiving = false;
    // The file holds the datasets that were completed, so the set range shrinks before saving.
    state_.LastSet = static_cast<qint16>(state_.FirstSet + completed - 1);
    bool saved = false;
    if (state_.HasData) saved = saveDocument();
    settleJournal(saved);
    ui_.setLiveSetLabel(QString());
    if (completed == planned && !userCancelled_ && !portFailed_) {
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
    if (portFailed_) {
        outcome_ = RunOutcome::Failed;
        ui_.reportError(portFailureText());
    } else if (userCancelled_) {
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
    failure_ = QString::fromLatin1(kSaveFailedText)
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

QString RunSequence::datasetText(const char* oneDataset, const char* prefix) const {
    if (state_.LastSet <= 1) return QString::fromLatin1(oneDataset);
    return QString::fromLatin1(prefix) + ordinal(state_.RunSet) + QStringLiteral(" of ") +
           QString::number(state_.LastSet) + QStringLiteral(" datasets");
}

}  // namespace vantorix
