// The conversation's inputs and outputs and the primitives every wait is built from. A wait
// is resumed only by advance() or answer(), so the driver decides when the protocol runs.
#include "measurement/InstrumentConversation.h"

#include <cmath>

#include "measurement/ConversationAwaiters.h"
#include "measurement/RunTexts.h"

namespace vantorix {

namespace {
// A flood (noise, a wrong baud rate, a device that is no instrument) must not fill memory: of
// more bytes than the instrument ever sends between two looks, the oldest are dropped.
void keepNewest(QByteArray& bytes) {
    const qsizetype excess = bytes.size() - InstrumentConversation::kMaxBufferedBytes;
    if (excess > 0) bytes.remove(0, excess);
}
}  // namespace

InstrumentConversation::InstrumentConversation(RunState& run, const RunOptions& options,
                                               qint64 now_ms)
    : run_(run), options_(options), now_ms_(now_ms) {
    setValues_.fill(QStringLiteral("-1"));
}

InstrumentConversation::~InstrumentConversation() {
    stop_ = StopReason::Destroying;
    task_ = {};
}

InstrumentConversation::NoEvents::~NoEvents() {
    if (--conv.noEventsDepth_ == 0 && conv.stop_ == StopReason::CancelDeferred) {
        conv.stop_ = StopReason::None;
        conv.takeCancel();
    }
}

void InstrumentConversation::begin(qint64 now_ms) {
    now_ms_ = now_ms;
    task_ = top(false);
    task_.start();
}

void InstrumentConversation::beginReception(qint64 now_ms) {
    now_ms_ = now_ms;
    task_ = top(true);
    task_.start();
}

void InstrumentConversation::feed(const QByteArray& bytes, qint64 now_ms) {
    now_ms_ = now_ms;
    inbox_ += bytes;
    keepNewest(inbox_);
    if (waiter_ && waiterWantsInput_) due_ = true;
}

void InstrumentConversation::advance(qint64 now_ms) {
    now_ms_ = now_ms;
    if (!waiter_) return;
    if (due_ || (waiterDeadline_ms_ >= 0 && now_ms_ >= waiterDeadline_ms_)) resume();
}

void InstrumentConversation::answer(bool yes, qint64 now_ms) {
    if (!asker_) return;
    now_ms_ = now_ms;
    answer_ = yes;
    std::exchange(asker_, {}).resume();
}

void InstrumentConversation::cancel(qint64 now_ms) {
    if (ended_ || run_.stopped()) return;
    now_ms_ = now_ms;
    if (noEventsDepth_ > 0) {
        if (stop_ == StopReason::None) stop_ = StopReason::CancelDeferred;
        return;
    }
    takeCancel();
}

void InstrumentConversation::takeCancel() {
    if (ended_ || run_.stopped()) return;
    run_.stage = RunStage::Stopped;
    stop_ = StopReason::UserCancelled;
    put(ConversationOutput::Kind::Stopped);
    send(QStringLiteral("S"));
    // With readings of an unfinished dataset the notice comes with the offer to keep them.
    if (unfinishedReadings() > 0)
        noticeDeferred_ = true;
    else
        put(ConversationOutput::Kind::Notice, QString::fromLatin1(kCancelledText));
    if (waiter_ && waiterCancellable_) due_ = true;
}

void InstrumentConversation::portFailed(qint64 now_ms) {
    if (ended_ || stopping()) return;
    now_ms_ = now_ms;
    stop_ = StopReason::PortFailed;
    run_.stage = RunStage::Stopped;
    // Lines not yet written when the line failed are never sent.
    std::erase_if(
        out_, [](const ConversationOutput& o) { return o.kind == ConversationOutput::Kind::Send; });
    if (waiter_) due_ = true;
}

std::optional<ConversationOutput> InstrumentConversation::takeOutput() {
    if (out_.empty()) return std::nullopt;
    ConversationOutput o = std::move(out_.front());
    out_.pop_front();
    return o;
}

std::optional<qint64> InstrumentConversation::nextDeadline() const {
    if (!waiter_) return std::nullopt;
    if (due_) return now_ms_;
    if (waiterDeadline_ms_ < 0) return std::nullopt;
    return waiterDeadline_ms_;
}

// ---- primitives ----

InstrumentConversation::Wait InstrumentConversation::waitUntil(qint64 deadline_ms, bool wantInput,
                                                               bool cancellable) {
    return Wait{this, deadline_ms, wantInput, cancellable};
}

// A cancel during a pause is taken at once; only the NoEvents phases defer it.
InstrumentConversation::Wait InstrumentConversation::pause(qint64 duration_ms) {
    return Wait{this, now_ms_ + duration_ms, false, false};
}

InstrumentConversation::Answer InstrumentConversation::ask(RunQuestion question,
                                                           const QString& text, int readings) {
    ConversationOutput o{ConversationOutput::Kind::Question};
    o.question = question;
    o.text = text;
    o.count = readings;
    out_.push_back(std::move(o));
    answer_.reset();
    return Answer{this};
}

void InstrumentConversation::suspend(std::coroutine_handle<> h, qint64 deadline_ms, bool wantInput,
                                     bool cancellable) {
    waiter_ = h;
    ++waits_;
    waiterDeadline_ms_ = deadline_ms;
    waiterWantsInput_ = wantInput;
    waiterCancellable_ = cancellable;
    due_ = stop_ == StopReason::PortFailed || (wantInput && bytesWaiting()) ||
           (cancellable && !run_.measuring());
}

void InstrumentConversation::resume() {
    due_ = false;
    std::exchange(waiter_, {}).resume();
}

void InstrumentConversation::send(const QString& line) {
    if (stopping()) return;
    put(ConversationOutput::Kind::Send, line);
}

void InstrumentConversation::put(ConversationOutput::Kind kind, const QString& text) {
    out_.push_back(ConversationOutput{kind, text});
}

void InstrumentConversation::putPhase(RunPhase phase, int set, int seconds) {
    phase_ = phase;
    phaseStarted_ms_ = now_ms_;
    ConversationOutput o{ConversationOutput::Kind::Phase};
    o.phase = phase;
    o.set = set;
    o.sets = run_.lastSet;
    o.seconds = seconds;
    out_.push_back(std::move(o));
}

void InstrumentConversation::readOnce() {
    pending_ += inbox_;
    inbox_.clear();
    keepNewest(pending_);
}

void InstrumentConversation::flush() {
    inbox_.clear();
    pending_.clear();
}

qint64 InstrumentConversation::wholeSeconds() const {
    return std::llround(now_ms_ / 1000.0);
}

}  // namespace vantorix
