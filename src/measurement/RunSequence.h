// A run: naming the file, the handshake, one options block and one dataset per repeat, the
// delays between them, and saving and reloading the file at the end. It never blocks: every
// wait is a suspension on bytes, a deadline or the user's answer, so the window stays
// responsive and tests run it in virtual time.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <coroutine>
#include <functional>
#include <memory>

#include "kernel/ProgramState.h"
#include "kernel/Scheduler.h"
#include "measurement/RunFrontEnd.h"
#include "measurement/RunJournal.h"
#include "measurement/Task.h"
#include "results/RunProgress.h"
#include "serial/SerialPort.h"

namespace vantorix {

// How a run ended, for the command line's exit code.
enum class RunOutcome { NotStarted, Completed, Cancelled, Failed };

class RunSequence {
  public:
    // The wall clock used for the file's date and time; tests pass a fixed one.
    using WallClock = std::function<QDateTime()>;

    RunSequence(ProgramState& state, SerialPort& port, Scheduler& scheduler, RunFrontEnd& ui,
                WallClock wallClock = {});
    ~RunSequence();
    RunSequence(const RunSequence&) = delete;
    RunSequence& operator=(const RunSequence&) = delete;

    // The Start/Cancel button: starts a run when none is going on, else cancels it.
    void startOrCancel();
    void start();
    // Cancels as the Cancel button does. During a phase that handles no window events the
    // cancel takes effect when that phase ends, so the bytes on the wire keep their order.
    void cancel();
    bool running() const { return running_; }
    RunOutcome outcome() const { return outcome_; }
    // Why the run failed (port lost, save failed), for the command line.
    QString failure() const { return failure_; }
    // Where the run is, for the progress display; times on the scheduler's clock.
    RunPhase phase() const { return phase_; }
    qint64 phaseStarted_ms() const { return phaseStarted_ms_; }
    qint64 runStarted_ms() const { return runStarted_ms_; }

    // --- Keeping every reading (RunSafety.cpp) ---
    // Where the run journal goes; "" keeps none.
    void setJournalFolder(const QString& folder) { journal_.setFolder(folder); }
    // The journal of the last run, while it is kept for recovery; "" once the file is saved.
    QString journalPath() const { return journal_.path(); }
    // The run's readings were saved by other means (another file): the journal may go.
    void journalSaved() { journal_.remove(); }
    // Readings of the dataset being measured, which is not complete yet.
    int unfinishedReadings() const;

  private:
    // --- The sequence (RunSequence.cpp) ---
    Task<> run();
    Task<> runBody();
    Task<> runDatasets();
    Task<bool> delayBetweenDatasets();
    void finishRun(int completed, int planned);
    void endedEarly();
    void stopEarly();
    void applyChosenFile(const QString& path);
    void prepareWindow();
    bool saveDocument();
    void reloadSavedFile();
    QString portFailureText() const;
    void doCancel();

    // --- The conversation with the instrument (RunProtocol.cpp) ---
    Task<bool> handshake();
    Task<bool> downloadOptions();
    Task<> sendOptionsBlock();
    Task<bool> awaitAcknowledgement();

    // --- Reception of a dataset (RunReception.cpp) ---
    Task<bool> awaitDataset();
    Task<> readDisplayMessage();
    Task<bool> receiveBlock();
    void handleMessage(const QString& text);
    void showDatasetInGrid();
    Task<> silenceCheck(int& counter);

    // --- Primitives ---
    struct Wait;
    // Suspends until the deadline (ms on the scheduler's clock, -1 = none), bytes arrive (when
    // wantInput), or the run is cancelled (when cancellable).
    Wait waitUntil(qint64 deadline_ms, bool wantInput, bool cancellable);
    Wait pause(qint64 duration_ms, bool processEvents);
    template <typename T>
    struct Answer;
    Answer<bool> askRetryCancel(const QString& text);
    Answer<bool> askOkCancel(const QString& text);
    Answer<QString> askFileName();
    Answer<bool> askKeepPartial(const QString& text, int readings);
    void suspend(std::coroutine_handle<> h, qint64 deadline_ms, bool wantInput, bool cancellable);
    void wake();
    void resumeLater(std::coroutine_handle<> h);
    void onBytesArrived();
    void onPortFailed(const QString& reason);

    void send(const QString& line);
    void readOnce();
    void flush();
    double timer() const { return scheduler_.now_ms() / 1000.0; }
    qint64 wholeSeconds() const;
    void touchActivity() { state_.LinkActivityTime = wholeSeconds(); }
    void touchSilence() { state_.SilenceTimer = wholeSeconds(); }
    QString datasetText(const char* oneDataset, const char* prefix) const;
    void journalReading(int row, int column, const Reading& cell);
    void beginDataset();
    void datasetCompleted();
    Task<> offerPartialSet(int& completed);
    void showLiveSet();
    void settleJournal(bool saved);
    QString journalFailureText() const;
    void enterPhase(RunPhase phase) {
        phase_ = phase;
        phaseStarted_ms_ = scheduler_.now_ms();
    }

    // Phases that handle no window events defer a cancel until they end.
    struct NoEvents {
        explicit NoEvents(RunSequence& r) : run(r) { ++run.noEventsDepth_; }
        ~NoEvents();
        RunSequence& run;
    };

    ProgramState& state_;
    SerialPort& port_;
    Scheduler& scheduler_;
    RunFrontEnd& ui_;
    WallClock wallClock_;

    Task<> task_;
    bool running_ = false;
    RunOutcome outcome_ = RunOutcome::NotStarted;
    QString failure_;
    bool portFailed_ = false;
    bool userCancelled_ = false;
    bool destroying_ = false;
    Subscription onReady_;  // the port's listeners, from the first start on
    Subscription onError_;
    int noEventsDepth_ = 0;
    bool cancelPending_ = false;
    QByteArray pending_;  // bytes read from the line and not yet handled
    RunJournal journal_;
    bool datasetOpen_ = false;     // a dataset is being measured and is not complete
    bool noticeDeferred_ = false;  // the cancel notice is said by the partial-set question
    bool journalBegun_ = false;
    bool journalFailed_ = false;
    int readingsLeftOut_ = 0;  // readings of an unfinished dataset the user chose not to keep
    RunPhase phase_ = RunPhase::Idle;
    qint64 phaseStarted_ms_ = 0;
    qint64 runStarted_ms_ = 0;

    std::coroutine_handle<> waiter_;
    bool waiterWantsInput_ = false;
    bool waiterCancellable_ = false;
    Scheduler::TimerId waiterTimer_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantorix
