// The driver's loop: what the port holds goes to the conversation, what the conversation
// asks for is carried out in order (lines written, window updated, questions asked), and one
// timer on the scheduler wakes it again. The only place the run touches the port.
#include "kernel/Text.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"
#include "plate/ReadingText.h"

namespace vantorix {

namespace {

// "Waiting for data" in a run of one dataset, "Waiting for 2nd of 3 datasets" in a longer one.
QString datasetText(const char* oneDataset, const char* prefix, const ConversationOutput& out) {
    if (out.sets <= 1) return QString::fromLatin1(oneDataset);
    return QString::fromLatin1(prefix) + ordinal(out.set) + QStringLiteral(" of ") +
           QString::number(out.sets) + QStringLiteral(" datasets");
}

}  // namespace

// The one place the port's notifications reach the run.
void RunSequence::installPortHandlers() {
    onReady_ = port_.onReady([this] { onBytesArrived(); });
    onError_ = port_.onError([this](const QString& reason) { onPortFailed(reason); });
}

void RunSequence::removePortHandlers() {
    onReady_.reset();
    onError_.reset();
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
        case Kind::Phase:
            showPhase(out);
            break;
        case Kind::Message:
            ui_.setMessageLine(out.text, true);
            break;
        case Kind::SetsPlanned:
            planSets(out.sets);
            break;
        case Kind::Measuring:
            ui_.measuringBegun();
            break;
        case Kind::DatasetBegun:
            beginJournal();
            ui_.datasetBegun(out.set, out.sets);
            break;
        case Kind::Reading:
            takeReading(out);
            break;
        case Kind::Firmware:
            session_.setFirmwareVersion(out.text);
            break;
        case Kind::BlockEnded:
            ui_.blockEnded();
            break;
        case Kind::DatasetDone:
            journalDataset(out.set, session_.document().firmwareVersion);
            session_.setHasData(true);
            ui_.datasetCompleted(out.set);
            break;
        case Kind::Stopped:
            ui_.runStopped();
            ui_.setStatusLine(QString(), false);
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

// The status line names the phase; the first contact clears it.
void RunSequence::showPhase(const ConversationOutput& out) {
    switch (out.phase) {
        case RunPhase::Handshake:
            if (out.set == 0) ui_.setStatusLine(QString(), true);
            break;
        case RunPhase::Options:
            ui_.setStatusLine(datasetText("Downloading Options", "Downloading Options for ", out),
                              true);
            break;
        case RunPhase::Waiting:
            ui_.setStatusLine(datasetText("Waiting for data", "Waiting for ", out), true);
            break;
        case RunPhase::Receiving:
            ui_.setMessageLine(QString(), false);
            ui_.setStatusLine(datasetText("Receiving data", "Receiving ", out), true);
            break;
        case RunPhase::Delay:
            if (out.seconds > 0)
                ui_.setStatusLine(QString::number(out.seconds) + QStringLiteral(" second delay"),
                                  true);
            break;
        case RunPhase::Idle:
            break;
    }
    ui_.phaseChanged(out.phase);
}

// The reading goes into the document, then to the window and the journal.
void RunSequence::takeReading(const ConversationOutput& out) {
    const WellReading& cell = session_.setReading(
        out.set, out.row, out.column, readingFromText(out.value), secondsFromText(out.time));
    ui_.readingReceived(out.set, out.row, out.column, cell);
    // The journal keeps the reading as the instrument sent it.
    journalReading(out.set, out.row, out.column, out.value, out.time);
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
    if (!conv_ || conv_->ended() || !conversing_) return cancelTimer();
    if (conv_->wakeDue()) {
        if (!(timer_ && timerForWake_)) wakeNextTurn();
        return;
    }
    const auto deadline = conv_->nextDeadline();
    if (timer_ && (timerForWake_ || (deadline == timerDeadline_ && timerWait_ == conv_->waits())))
        return;  // the timer for this wait is set
    cancelTimer();
    if (!deadline) return;
    timerDeadline_ = deadline;
    timerWait_ = conv_->waits();
    timer_ = scheduler_.callAt(*deadline, [this] { wakeNextTurn(); });
}

void RunSequence::wakeNextTurn() {
    cancelTimer();
    timerForWake_ = true;
    timer_ = scheduler_.callAt(scheduler_.now_ms(), [this] {
        timer_ = 0;
        timerForWake_ = false;
        step([this](InstrumentConversation& c) { c.advance(scheduler_.now_ms()); });
    });
}

void RunSequence::cancelTimer() {
    if (timer_) scheduler_.cancel(timer_);
    timer_ = 0;
    timerForWake_ = false;
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
    failure_ = portFailure_ =
        QStringLiteral("The connection to the instrument was lost: %1").arg(reason);
    conv_->portFailed(scheduler_.now_ms());
    pump();
}

}  // namespace vantorix
