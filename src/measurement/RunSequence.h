// A run: naming the file, the conversation with the instrument (InstrumentConversation),
// and saving and reloading the file at the end. RunSequence drives the conversation: it owns
// the port, the timer for the conversation's next deadline, the journal, the files and the
// front end. It never blocks, so the window stays responsive and tests run it in virtual time.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "files/OvdWriter.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/RunFrontEnd.h"
#include "measurement/RunJournal.h"
#include "plate/DocumentSession.h"
#include "results/RunProgress.h"
#include "serial/SerialPort.h"

namespace vantorix {

// How a run ended, for the command line's exit code.
enum class RunOutcome { NotStarted, Completed, Cancelled, Failed };

class RunSequence {
  public:
    // The wall clock used for the file's date and time; tests pass a fixed one.
    using WallClock = std::function<QDateTime()>;

    // `defaults` are the options a new measurement starts from: a completed priming run clears
    // their priming as it does the run's own.
    RunSequence(DocumentSession& session, RunOptions& defaults, DataFolders& folders,
                SerialPort& port, Scheduler& scheduler, RunFrontEnd& ui, WallClock wallClock = {});
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
    // The last of the datasets saved is one the run did not finish (kept as partial).
    bool partialSetKept() const { return partialKept_; }
    // Where the run is, for the progress display; times on the scheduler's clock.
    RunPhase phase() const;
    qint64 phaseStarted_ms() const;
    qint64 runStarted_ms() const { return conv_ ? conv_->runStarted_ms() : 0; }
    // The run's stage, its sets and the last signs of life on the line.
    const RunState& runState() const { return run_; }
    // The title proposed for the next run's file: the last one counted on.
    const QString& dataFileTitle() const { return title_; }
    // When the run saved its file (invalid before the first save).
    QDateTime savedAt() const { return savedAt_; }
    // Writes the run's sets to its file (a bare name lies in the data folder), dated `when`;
    // the document counts as saved only when the file was written.
    WriteResult saveFile(const QDateTime& when);

    // --- Keeping every reading (RunSafety.cpp) ---
    // Where the run journal goes; "" keeps none.
    void setJournalFolder(const QString& folder) { journal_.setFolder(folder); }
    // The journal of the last run, while it is kept for recovery; "" once the file is saved.
    QString journalPath() const { return journal_.path(); }
    // The run's readings were saved by other means (another file): the journal may go, unless
    // it holds readings the file left out.
    void journalSaved() { settleJournal(true, readingsLeftOut_); }
    // Every reading the run took is in its journal (kept while journalPath() is not "").
    bool journalHoldsEveryReading() const;
    // Readings of an unfinished dataset the user chose not to keep in the file.
    int readingsLeftOut() const { return readingsLeftOut_; }
    // Readings the run took, and the last set that got one.
    int readingsTaken() const { return runReadings_; }
    int lastReadingSet() const { return lastReadingSet_; }
    // Readings of the dataset being measured, which is not complete yet.
    int unfinishedReadings() const;

  private:
    // --- The run's course (RunSequence.cpp) ---
    void askFileName();
    void onFileChosen(const QString& path);
    void conversationEnded();
    void endRun();

    // --- The driver's loop (RunDriver.cpp) ---
    void installPortHandlers();
    void removePortHandlers();
    // Hands what the port holds to the conversation, then lets it act on `act`.
    void step(const std::function<void(InstrumentConversation&)>& act);
    void pump();
    void handle(const ConversationOutput& out);
    void showPhase(const ConversationOutput& out);
    void takeReading(const ConversationOutput& out);
    void ask(const ConversationOutput& out);
    void arm();
    void wakeNextTurn();
    void cancelTimer();
    void post(std::function<void()> fn);
    void drainPort();
    void write(const QString& line);
    void onBytesArrived();
    void onPortFailed(const QString& reason);

    // --- After the datasets (RunSequence.cpp) ---
    void finishRun(int completed, int planned, int readingsLeftOut);
    void endedEarly();
    void reportUnreadSet(int set);
    void applyChosenFile(const QString& path);
    void planSets(int sets);
    bool saveDocument();
    void reloadSavedFile();
    qint64 wholeSeconds() const;
    void touchActivity() { run_.linkActivityTime = wholeSeconds(); }
    bool stoppedBy(StopReason reason) const { return conv_ && conv_->stopReason() == reason; }

    // --- Keeping every reading (RunSafety.cpp) ---
    void beginJournal();
    void dropEmptyJournal();
    void journalReading(int set, int row, int column, const QString& value, const QString& time);
    void journalDataset(int set, const QString& firmwareVersion);
    void settleJournal(bool saved, int readingsLeftOut);
    QString journalFailureText() const;

    DocumentSession& session_;
    RunOptions& defaults_;
    DataFolders& folders_;
    SerialPort& port_;
    Scheduler& scheduler_;
    RunFrontEnd& ui_;
    WallClock wallClock_;

    RunState run_;
    std::shared_ptr<InstrumentConversation> conv_;
    bool running_ = false;
    RunOutcome outcome_ = RunOutcome::NotStarted;
    QString failure_;
    QDateTime savedAt_;
    QString title_ = QStringLiteral("Sample");
    QString portFailure_;   // the lost connection, as the user is told
    Subscription onReady_;  // the port's listeners while a run is going on
    Subscription onError_;
    bool pumping_ = false;
    bool conversing_ = false;  // the file is named and the conversation has begun
    RunJournal journal_;
    bool journalBegun_ = false;
    bool journalFailed_ = false;
    int runReadings_ = 0, journalReadings_ = 0, lastReadingSet_ = 0;
    int readingsLeftOut_ = 0;  // of an unfinished dataset the user chose not to keep
    bool partialKept_ = false;
    qint64 idleSince_ms_ = 0;

    Scheduler::TimerId timer_ = 0;
    bool timerForWake_ = false;  // the timer wakes the conversation on the next turn
    std::optional<qint64> timerDeadline_;
    quint64 timerWait_ = 0;  // the conversation's wait the deadline timer belongs to
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantorix
