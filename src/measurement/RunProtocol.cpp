// The program's side of the conversation: handshake, the options block and its
// acknowledgement.
#include "kernel/RunTiming.h"
#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/OptionsBlock.h"
#include "measurement/RunTexts.h"

namespace vantorix {

namespace {
constexpr int kHandshakeAttempts = 10;
}  // namespace

Task<bool> InstrumentConversation::handshake() {
    for (;;) {
        {
            // The handshake handles no window events: a cancel waits until it is over.
            NoEvents quiet(*this);
            flush();
            for (int attempt = 0; attempt < kHandshakeAttempts && !failed(); ++attempt) {
                send(QStringLiteral("START"));
                co_await pause(kHandshakePause_ms);
                readOnce();
                const bool ready = pending_.contains('O') || pending_.contains('o');
                pending_.clear();
                if (ready) co_return true;
            }
        }
        if (failed()) co_return false;
        const bool retry =
            co_await ask(RunQuestion::NotResponding, QString::fromLatin1(kNotRespondingText));
        if (!retry) {
            takeCancel();
            co_return false;
        }
    }
}

Task<bool> InstrumentConversation::downloadOptions() {
    for (;;) {
        co_await sendOptionsBlock();
        const bool accepted = co_await awaitAcknowledgement();
        if (accepted) co_return true;
        send(QStringLiteral("Z"));
        if (!run_.measuring() || failed()) co_return false;
        co_await pause(kRecoveryPause_ms);
        const bool ready = co_await handshake();
        if (!ready) co_return false;
    }
}

Task<> InstrumentConversation::sendOptionsBlock() {
    const RunOptions& o = options_;
    co_await pause(kBlockLeadPause_ms);
    // The original paused a few CPU-bound milliseconds after "{"; its length never mattered.
    send(QStringLiteral("{"));
    for (int row = 0; row < kPlateRows; ++row) {
        for (int column = 0; column < kPlateColumns; ++column) {
            send(o.SelectedWells[row][column] ? QStringLiteral("1") : QStringLiteral("0"));
            touchSilence();
            touchActivity();
            co_await pause(kLinePause_ms);
        }
        co_await pause(kRowPause_ms);
        touchSilence();
        touchActivity();
        if (run_.stopped() || failed()) co_return;
    }
    const QStringList params = flashParameterLines(o);
    for (int i = 0; i < 4; ++i) send(params[i]);
    if (o.Reaction != kReactionFlash && (run_.stopped() || failed())) co_return;
    co_await pause(kLinePause_ms);
    for (int i = 4; i < 8; ++i) send(params[i]);
    send(QString::number(o.Reaction));
    send(QString::number(o.Sensitive));
    co_await pause(kLinePause_ms);
    send(QStringLiteral("}"));
}

Task<bool> InstrumentConversation::awaitAcknowledgement() {
    const qint64 start = now_ms_;
    for (;;) {
        if (now_ms_ - start >= kAckTimeout_ms) co_return false;
        readOnce();
        const qsizetype x = pending_.indexOf('X');
        if (x >= 0) {
            pending_.remove(0, x + 1);  // what follows the "X" belongs to the dataset
            co_return true;
        }
        pending_.clear();
        if (failed()) co_return false;
        touchActivity();
        co_await waitUntil(start + kAckTimeout_ms, true, false);
    }
}

}  // namespace vantorix
