#include "firmware/FirmwareConversation.h"

#include <utility>

#include "firmware/FirmwareTexts.h"
#include "kernel/InstrumentLine.h"

namespace vantorix {

using namespace firmware;
using Kind = FirmwareOutput::Kind;
using Outcome = FirmwareOutput::Outcome;

// --- Calls from the driver ---

// The measurement program hears "Q" at its own speed, so it must have gone out before the
// line is reopened at the shell's speed.
void FirmwareConversation::begin(const QString& imagePath, bool service, qint64 now_ms) {
    stop();
    imagePath_ = imagePath;
    service_ = service;
    state_ = SwitchToShell;
    put(Kind::OpenLine, kInstrumentLineSettings);
    send(kQuit);
    switchAt_ms_ = now_ms + lineTime_ms(kQuit.size(), 2400) + kDrainMargin_ms;
}

void FirmwareConversation::feed(const QByteArray& bytes) {
    if (bytes.isEmpty() || !listening()) return;
    inbox_ += bytes;
    fresh_ = true;
}

// Each wake repeats the step of the current state until a step ends it; a changed state has
// its step on the next wake.
void FirmwareConversation::advance(qint64 now_ms) {
    const std::optional<qint64> deadline = nextDeadline();
    if (!stepDue_ && !fresh_ && !(deadline && now_ms >= *deadline)) return;
    stepDue_ = fresh_ = false;
    const State before = state_;
    while (step(now_ms) == Step::Repeat) {
    }
    stepDue_ = state_ != before && state_ != Idle;
}

void FirmwareConversation::cancel() {
    out_.clear();
    end(Outcome::Cancelled, {}, 0);
}

void FirmwareConversation::lineFailed(const QString& reason) {
    out_.clear();  // nothing after the failed write goes out or shows
    fail(reason);
}

void FirmwareConversation::stop() {
    toIdle();
    out_.clear();
}

std::optional<FirmwareOutput> FirmwareConversation::takeOutput() {
    if (out_.empty()) return std::nullopt;
    FirmwareOutput out = std::move(out_.front());
    out_.pop_front();
    return out;
}

std::optional<qint64> FirmwareConversation::nextDeadline() const {
    switch (state_) {
        case SwitchToShell:
            return switchAt_ms_;
        case Settle:
        case LetReceiverStart:
            return firstDeadline_ms_ + 1;
        case LookForPrompt:
            return promptDeadline_ms_ + 1;
        default:
            return std::nullopt;
    }
}

bool FirmwareConversation::listening() const {
    return state_ != Idle && state_ != SwitchToShell && state_ != ServiceSend;
}

// --- The steps ---

FirmwareConversation::Step FirmwareConversation::step(qint64 now) {
    switch (state_) {
        case Idle:
        case ServiceSend:
            return Step::EndTick;
        case SwitchToShell:
            return switchToShell(now);
        case Prepare:
            return prepare(now);
        case Settle:
            return settle(now);
        case LookForPrompt:
            return lookForPrompt(now);
        case LetReceiverStart:
            return letReceiverStart(now);
        case WaitForReceiver:
            return waitForReceiver();
        case WaitForFirstNak:
        case Transfer:
            return transfer();
        case Finish:
            return finish();
    }
    return Step::EndTick;
}

FirmwareConversation::Step FirmwareConversation::switchToShell(qint64 now) {
    if (now < switchAt_ms_) return Step::EndTick;
    put(Kind::OpenLine, kShellLine);
    send(kWake);
    state_ = service_ ? Idle : Prepare;
    return Step::Repeat;
}

FirmwareConversation::Step FirmwareConversation::prepare(qint64 now) {
    put(Kind::Preparing);
    state_ = Settle;
    send(kDriveB);
    firstDeadline_ms_ = now + kSettle_ms;
    buffer_.clear();
    promptDeadline_ms_ = now + kPromptWait_ms;
    return Step::EndTick;
}

FirmwareConversation::Step FirmwareConversation::settle(qint64 now) {
    if (now <= firstDeadline_ms_) {
        inbox_.clear();
        buffer_.clear();
        return Step::EndTick;
    }
    state_ = LookForPrompt;
    send(kNewLine);
    return Step::EndTick;
}

FirmwareConversation::Step FirmwareConversation::lookForPrompt(qint64 now) {
    char byte;
    if (readByte(byte)) {
        append(byte);
        return Step::Repeat;
    }
    if (buffer_.contains(kPrompt)) {
        send(kReceiveCommand);
        state_ = LetReceiverStart;
        firstDeadline_ms_ = now + kReceiverStart_ms;
    } else if (now > promptDeadline_ms_) {
        state_ = Prepare;  // a new attempt
    }
    return Step::EndTick;
}

// The shell's announcement stays unread until the receiver has had its time.
FirmwareConversation::Step FirmwareConversation::letReceiverStart(qint64 now) {
    if (now <= firstDeadline_ms_)
        buffer_.clear();
    else
        state_ = WaitForReceiver;
    return Step::EndTick;
}

FirmwareConversation::Step FirmwareConversation::waitForReceiver() {
    char byte;
    if (readByte(byte)) {
        append(byte);
        return Step::Repeat;
    }
    if (buffer_.contains(kReceiverReady)) {
        put(Kind::ReceiverReady);
        sender_ = std::make_unique<XmodemSender>(imagePath_);
        state_ = WaitForFirstNak;
    }
    return Step::EndTick;
}

FirmwareConversation::Step FirmwareConversation::transfer() {
    char byte;
    if (!readByte(byte)) return Step::EndTick;
    const int blocksBefore = sender_->blocksSent();
    send(sender_->feed(byte));
    if (sender_->blocksSent() != blocksBefore) {
        put(Kind::BlockSent, sender_->progressText());
        out_.back().block = sender_->blockNumber();
    }
    switch (sender_->phase()) {
        case XmodemSender::Phase::WaitingForNak:
            break;
        case XmodemSender::Phase::Sending:
            state_ = Transfer;
            break;
        case XmodemSender::Phase::Done:
            buffer_.clear();
            state_ = Finish;
            break;
        case XmodemSender::Phase::Failed:
            fail(sender_->failure());
            return Step::EndTick;
    }
    return Step::Repeat;
}

FirmwareConversation::Step FirmwareConversation::finish() {
    put(Kind::Finishing);
    char byte;
    if (readByte(byte)) {
        append(byte);
        send(sender_->feed(byte));  // a NAK of the end is answered
        return Step::Repeat;
    }
    if (buffer_.contains(kPrompt)) succeed();
    return Step::EndTick;
}

// --- Ends of a download ---

// The line closes once "melto" has left at the shell's speed.
void FirmwareConversation::succeed() {
    send(kRunFirmware);
    end(Outcome::Updated, {}, lineTime_ms(kRunFirmware.size(), kShellBaud) + kDrainMargin_ms);
}

void FirmwareConversation::fail(const QString& reason) {
    end(Outcome::Failed, reason, 0);
}

void FirmwareConversation::end(Outcome outcome, const QString& reason, qint64 closeAfter_ms) {
    toIdle();
    put(Kind::CloseLine);
    out_.back().after_ms = closeAfter_ms;
    put(Kind::Finished, reason);
    out_.back().outcome = outcome;
}

void FirmwareConversation::toIdle() {
    state_ = Idle;
    stepDue_ = fresh_ = false;
    inbox_.clear();
    buffer_.clear();
    if (sender_) sender_->close();
}

// --- Primitives ---

void FirmwareConversation::put(Kind kind, const QString& text) {
    out_.push_back(FirmwareOutput{kind, {}, text});
}

void FirmwareConversation::send(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    out_.push_back(FirmwareOutput{Kind::Send, bytes, {}});
}

bool FirmwareConversation::readByte(char& byte) {
    if (inbox_.isEmpty()) return false;
    byte = inbox_[0];
    inbox_.remove(0, 1);
    return true;
}

void FirmwareConversation::append(char byte) {
    buffer_.append(byte);
    if (buffer_.size() > kMaxReceiveBuffer_bytes)
        buffer_.remove(0, buffer_.size() - kMaxReceiveBuffer_bytes);
}

qint64 FirmwareConversation::lineTime_ms(qsizetype bytes, int baud) {
    return (qint64(bytes) * 10 * 1000 + baud - 1) / baud;
}

}  // namespace vantorix
