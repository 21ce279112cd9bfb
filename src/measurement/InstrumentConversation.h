// The run's conversation with the instrument, without I/O: the handshake, the options block
// and its acknowledgement, the reception of each dataset, the polls after silence and the
// delays between datasets. Bytes from the line, the time and the user's answers go in; lines
// to send, the next deadline and what happened in the protocol's terms (phases, readings,
// datasets, questions) come out, in order. It never reads a port or a clock and keeps no
// document, so a test or a fuzzer feeds it bytes directly.
//
// The driver's loop: after any call, take every output (send the lines, show the updates, ask
// the questions), then wake the conversation again with advance() when wakeDue() holds or
// once the clock reaches nextDeadline(). A call with nothing to do does nothing.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <coroutine>
#include <deque>
#include <memory>
#include <optional>

#include "kernel/RunOptions.h"
#include "kernel/RunTiming.h"
#include "measurement/RunState.h"
#include "measurement/Task.h"
#include "plate/PlateGeometry.h"

namespace vantorix {

// Why a run stops before its datasets are done.
enum class StopReason {
    None,
    CancelDeferred,  // cancelled during a phase that handles no window events; taken at its end
    UserCancelled,
    PortFailed,
    Destroying,  // the run is being torn down: nothing more is sent or asked
};

enum class RunQuestion { NotResponding, Priming, KeepPartial };

struct ConversationOutput {
    enum class Kind {
        Send,          // text: one line for the instrument (the driver adds CR LF)
        Phase,         // phase, set of sets (set 0: before the first dataset); seconds of a Delay
        Message,       // text: the instrument's display message as shown; "" once it is over
        SetsPlanned,   // sets 1..sets are measured: they are emptied for the run's readings
        Measuring,     // the instrument is ready and primed: the datasets begin
        DatasetBegun,  // set of sets: its selected wells wait for their readings
        Reading,       // set, row, column, value, time
        Firmware,      // text: the firmware version the instrument reported
        BlockEnded,    // the dataset block's text is over, complete or not
        DatasetDone,   // set: the dataset is complete
        Stopped,       // the user's cancel was taken: "S" goes out and the run stops
        Notice,        // text
        Question,      // question, text; count = readings for KeepPartial
        Ended,         // see end()
    };
    explicit ConversationOutput(Kind k, QString t = {}) : kind(k), text(std::move(t)) {}
    Kind kind;
    QString text;
    RunPhase phase = RunPhase::Idle;
    int set = 0, sets = 0, seconds = 0, row = 0, column = 0, count = 0;
    QString value, time;
    RunQuestion question = RunQuestion::NotResponding;
};

// How the conversation ended, for the driver that saves the file.
struct ConversationEnd {
    enum class Kind { NotReady, Stopped, PrimingRefused, Datasets } kind = Kind::NotReady;
    int completed = 0, planned = 0;
    int readingsLeftOut = 0;   // readings of an unfinished dataset the user chose not to keep
    bool partialKept = false;  // the last of the completed datasets is an unfinished one kept
    // A dataset whose exchange ended without a reading of any selected well (line noise, a
    // wrong port or wrong line settings): it ended the run and is not counted.
    int unreadSet = 0;
    QString error;  // an unexpected error ended it
};

class InstrumentConversation {
  public:
    // The run's stage, sets and link times are kept in `run`; the options stay as they are
    // while it goes on.
    InstrumentConversation(RunState& run, const RunOptions& options, qint64 now_ms);
    ~InstrumentConversation();
    InstrumentConversation(const InstrumentConversation&) = delete;
    InstrumentConversation& operator=(const InstrumentConversation&) = delete;

    // The file is named: the handshake begins.
    void begin(qint64 now_ms);
    // Starts straight in the reception of dataset 1, as after an accepted options block
    // (what follows the "X" acknowledgement); for fuzzing and tests of reception.
    void beginReception(qint64 now_ms);

    // Bytes read from the line. They are handled at the next advance().
    void feed(const QByteArray& bytes, qint64 now_ms);
    void advance(qint64 now_ms);
    // The answer to the last question (Retry, OK, Keep = true).
    void answer(bool yes, qint64 now_ms);
    // The Cancel button. During a phase that handles no window events it is taken at its end.
    void cancel(qint64 now_ms);
    // The line is lost (or a write failed): nothing more is sent.
    void portFailed(qint64 now_ms);

    std::optional<ConversationOutput> takeOutput();
    bool hasOutput() const { return !out_.empty(); }
    // A wake is due now: bytes for a wait that wants them, a cancel, a failure.
    bool wakeDue() const { return waiter_ && due_; }
    std::optional<qint64> nextDeadline() const;
    // Counts the waits so far: a new wait with the same deadline is a new deadline.
    quint64 waits() const { return waits_; }

    bool ended() const { return ended_; }
    const ConversationEnd& end() const { return end_; }
    StopReason stopReason() const { return stop_; }
    bool cancelled() const { return stop_ == StopReason::UserCancelled; }
    bool failed() const { return stop_ == StopReason::PortFailed; }
    // Readings of the dataset being measured, which is not complete yet.
    int unfinishedReadings() const;
    RunPhase phase() const { return phase_; }
    qint64 phaseStarted_ms() const { return phaseStarted_ms_; }
    qint64 runStarted_ms() const { return runStarted_ms_; }
    // Bytes from the line held and not yet handled; bounded, however fast the line floods.
    qsizetype bufferedBytes() const { return inbox_.size() + pending_.size(); }
    // The most bytes held at once, and the longest display message awaited.
    static constexpr qsizetype kMaxBufferedBytes = 64 * 1024;
    static constexpr qsizetype kMaxMessageBytes = 1024;

  private:
    struct Wait;
    struct Answer;

    // --- The sequence (InstrumentConversation.cpp) ---
    Task<> top(bool reception);
    Task<> converse();
    Task<> runDatasets();
    Task<bool> delayBetweenDatasets();
    void planSets();
    void stopEarly();
    void takeCancel();
    void finish(ConversationEnd::Kind kind);

    // --- Handshake and options block (RunProtocol.cpp) ---
    Task<bool> handshake();
    Task<bool> downloadOptions();
    Task<> sendOptionsBlock();
    Task<bool> awaitAcknowledgement();

    // --- Reception of a dataset (RunReception.cpp) ---
    Task<bool> awaitDataset();
    Task<> readDisplayMessage();
    Task<bool> receiveBlock();
    void handleMessage(const QString& text);
    Task<> silenceCheck(int& counter);

    // --- The dataset being measured (ConversationPartialSet.cpp) ---
    void beginDataset();
    void datasetDone();
    bool anySelectedWellRead() const;
    Task<> offerPartialSet(int& completed);

    // --- Primitives ---
    Wait waitUntil(qint64 deadline_ms, bool wantInput, bool cancellable);
    Wait pause(qint64 duration_ms);
    Answer ask(RunQuestion question, const QString& text, int readings = 0);
    void suspend(std::coroutine_handle<> h, qint64 deadline_ms, bool wantInput, bool cancellable);
    void resume();
    void send(const QString& line);
    void put(ConversationOutput::Kind kind, const QString& text = {});
    void putPhase(RunPhase phase, int set, int seconds = 0);
    void readOnce();
    void flush();
    bool bytesWaiting() const { return !inbox_.isEmpty(); }
    double timer() const { return now_ms_ / 1000.0; }
    qint64 wholeSeconds() const;
    void touchActivity() { run_.linkActivityTime = wholeSeconds(); }
    void touchSilence() { run_.silenceTime = wholeSeconds(); }
    bool stopping() const {
        return stop_ == StopReason::PortFailed || stop_ == StopReason::Destroying;
    }

    // Phases that handle no window events defer a cancel until they end.
    struct NoEvents {
        explicit NoEvents(InstrumentConversation& c) : conv(c) { ++conv.noEventsDepth_; }
        ~NoEvents();
        InstrumentConversation& conv;
    };

    RunState& run_;
    const RunOptions& options_;
    qint64 now_ms_;
    // The values read in the dataset being measured ("-1" until read), by well.
    std::array<QString, kWellCount> setValues_;
    Task<> task_;
    std::deque<ConversationOutput> out_;
    QByteArray inbox_;    // bytes from the line not yet read by the protocol
    QByteArray pending_;  // bytes read and not yet handled
    StopReason stop_ = StopReason::None;
    int noEventsDepth_ = 0;
    bool datasetOpen_ = false;     // a dataset is being measured and is not complete
    bool noticeDeferred_ = false;  // the cancel notice is said by the partial-set question
    bool ended_ = false;
    ConversationEnd end_;
    RunPhase phase_ = RunPhase::Idle;
    qint64 phaseStarted_ms_ = 0;
    qint64 runStarted_ms_ = 0;

    std::coroutine_handle<> waiter_;
    qint64 waiterDeadline_ms_ = -1;
    bool waiterWantsInput_ = false;
    bool waiterCancellable_ = false;
    bool due_ = false;
    quint64 waits_ = 0;
    std::coroutine_handle<> asker_;  // waits for the user's answer
    std::optional<bool> answer_;
};

}  // namespace vantorix
