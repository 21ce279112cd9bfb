// The program's side of the conversation: handshake, the options block and its
// acknowledgement, and the primitives every wait of the run is built from.
#include "files/DataFileNaming.h"
#include "measurement/OptionsBlock.h"
#include "measurement/RunAwaiters.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"

#include <cmath>

namespace vantorix {

namespace {
constexpr int kHandshakeAttempts = 10;
constexpr qint64 kHandshakePause_ms = 100;
constexpr qint64 kBlockLeadPause_ms = 500;
constexpr qint64 kLinePause_ms = 100;
constexpr qint64 kRowPause_ms = 700;
constexpr qint64 kAckTimeout_ms = 5000;
constexpr qint64 kRecoveryPause_ms = 500;
}  // namespace

Task<bool> RunSequence::handshake() {
    for (;;) {
        {
            // The handshake handles no window events: a cancel waits until it is over.
            NoEvents quiet(*this);
            flush();
            for (int attempt = 0; attempt < kHandshakeAttempts && !portFailed_; ++attempt) {
                send(QStringLiteral("START"));
                co_await pause(kHandshakePause_ms, false);
                readOnce();
                const bool ready = pending_.contains('O') || pending_.contains('o');
                pending_.clear();
                if (ready) co_return true;
            }
        }
        if (portFailed_) co_return false;
        const bool retry = co_await askRetryCancel(QString::fromLatin1(kNotRespondingText));
        if (!retry) {
            doCancel();
            co_return false;
        }
    }
}

Task<bool> RunSequence::downloadOptions() {
    for (;;) {
        co_await sendOptionsBlock();
        const bool accepted = co_await awaitAcknowledgement();
        if (accepted) co_return true;
        send(QStringLiteral("Z"));
        if (!state_.RunActive || portFailed_) co_return false;
        co_await pause(kRecoveryPause_ms, true);
        const bool ready = co_await handshake();
        if (!ready) co_return false;
    }
}

Task<> RunSequence::sendOptionsBlock() {
    const RunOptions& o = state_.CurrentOptions;
    co_await pause(kBlockLeadPause_ms, true);
    // The original paused a few CPU-bound milliseconds after "{"; its length never mattered.
    send(QStringLiteral("{"));
    for (int row = 0; row < kPlateRows; ++row) {
        for (int column = 0; column < kPlateColumns; ++column) {
            send(o.SelectedWells[row][column] ? QStringLiteral("1") : QStringLiteral("0"));
            touchSilence();
            touchActivity();
            co_await pause(kLinePause_ms, true);
        }
        co_await pause(kRowPause_ms, true);
        touchSilence();
        touchActivity();
        if (state_.RunStopped || portFailed_) co_return;
    }
    const QStringList params = flashParameterLines(o);
    for (int i = 0; i < 4; ++i) send(params[i]);
    if (o.Reaction != kReactionFlash && (state_.RunStopped || portFailed_)) co_return;
    co_await pause(kLinePause_ms, true);
    for (int i = 4; i < 8; ++i) send(params[i]);
    send(QString::number(o.Reaction));
    send(QString::number(o.Sensitive));
    co_await pause(kLinePause_ms, true);
    send(QStringLiteral("}"));
}

Task<bool> RunSequence::awaitAcknowledgement() {
    const qint64 start = scheduler_.now_ms();
    for (;;) {
        if (scheduler_.now_ms() - start >= kAckTimeout_ms) co_return false;
        readOnce();
        const qsizetype x = pending_.indexOf('X');
        if (x >= 0) {
            pending_.remove(0, x + 1);  // what follows the "X" belongs to the dataset
            co_return true;
        }
        pending_.clear();
        if (portFailed_) co_return false;
        touchActivity();
        co_await waitUntil(start + kAckTimeout_ms, true, false);
    }
}

// ---- primitives ----

RunSequence::Wait RunSequence::waitUntil(qint64 deadline_ms, bool wantInput, bool cancellable) {
    return Wait{this, deadline_ms, wantInput, cancellable};
}

RunSequence::Wait RunSequence::pause(qint64 duration_ms, bool processEvents) {
    (void)processEvents;  // a cancel during a pause that handles events is taken at once
    return Wait{this, scheduler_.now_ms() + duration_ms, false, false};
}

RunSequence::Answer<bool> RunSequence::askRetryCancel(const QString& text) {
    return Answer<bool>{this, [this, text](std::function<void(bool)> done) {
                            ui_.askRetryCancel(QString::fromLatin1(kCommunicationErrorTitle), text,
                                               std::move(done));
                        }};
}

RunSequence::Answer<bool> RunSequence::askOkCancel(const QString& text) {
    return Answer<bool>{this, [this, text](std::function<void(bool)> done) {
                            ui_.askOkCancel(text, std::move(done));
                        }};
}

RunSequence::Answer<QString> RunSequence::askFileName() {
    return Answer<QString>{
        this, [this](std::function<void(QString)> done) {
            // The proposal never names a file that is already there.
            state_.DataFileTitle = freeDataFileTitle(state_.DataFileTitle, state_.DataFolder);
            ui_.askDataFileName(state_.DataFileTitle, state_.DataFolder, std::move(done));
        }};
}

void RunSequence::suspend(std::coroutine_handle<> h, qint64 deadline_ms, bool wantInput,
                          bool cancellable) {
    waiter_ = h;
    waiterWantsInput_ = wantInput;
    waiterCancellable_ = cancellable;
    waiterTimer_ = 0;
    const bool wakeNow = portFailed_ || (wantInput && port_.isOpen() && port_.bytesWaiting() > 0) ||
                         (cancellable && !state_.RunActive);
    if (wakeNow) {
        wake();
        return;
    }
    if (deadline_ms >= 0) {
        std::weak_ptr<bool> alive = alive_;
        waiterTimer_ = scheduler_.callAt(deadline_ms, [this, alive] {
            if (alive.expired()) return;
            waiterTimer_ = 0;
            wake();
        });
    }
}

void RunSequence::wake() {
    if (!waiter_) return;
    if (waiterTimer_) scheduler_.cancel(waiterTimer_);
    waiterTimer_ = 0;
    resumeLater(std::exchange(waiter_, {}));
}

void RunSequence::resumeLater(std::coroutine_handle<> h) {
    std::weak_ptr<bool> alive = alive_;
    scheduler_.callAt(scheduler_.now_ms(), [alive, h] {
        if (!alive.expired()) h.resume();
    });
}

void RunSequence::onBytesArrived() {
    if (waiter_ && waiterWantsInput_) wake();
}

void RunSequence::onPortFailed(const QString& reason) {
    if (!running_ || portFailed_) return;
    portFailed_ = true;
    failure_ = reason;
    state_.RunActive = false;
    state_.RunStopped = true;
    wake();
}

void RunSequence::send(const QString& line) {
    if (portFailed_) return;
    if (!port_.write(line.toLatin1() + "\r\n"))
        onPortFailed(QStringLiteral("writing to %1 failed").arg(port_.portName()));
}

void RunSequence::readOnce() {
    if (port_.isOpen() && port_.bytesWaiting() > 0) pending_ += port_.read();
}

void RunSequence::flush() {
    readOnce();
    pending_.clear();
}

qint64 RunSequence::wholeSeconds() const {
    return std::llround(scheduler_.now_ms() / 1000.0);
}

}  // namespace vantorix
