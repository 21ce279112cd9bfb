// The firmware download's conversation with the instrument, without a port or a clock: "Q" to
// the measurement program at 2400 baud, then the command shell at 9600 baud ("b:", the prompt
// "B:\>", "transfer /r melto.exe"), the XMODEM transfer, the prompt again and "melto". Bytes
// from the line and the time go in; what to do with the line, the next deadline and where the
// download stands come out, in order.
//
// The driver's loop: after any call, take every output, then call advance() again when
// wakeDue() holds, when bytes were fed, or once the clock reaches nextDeadline(). A call with
// nothing to do does nothing, so a spurious wake-up is harmless.
#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <memory>
#include <optional>

#include "firmware/XmodemSender.h"

namespace vantorix {

struct FirmwareOutput {
    enum class Kind {
        OpenLine,       // text: line settings; the port (re)opens at them, a byte a read
        Send,           // bytes for the line
        CloseLine,      // the line goes back to the measurement settings, closed, after_ms
        Preparing,      // the shell is being made ready: "Preparing Luminometer..."
        ReceiverReady,  // the shell's receiver announced itself
        BlockSent,      // block: its number; text: the part of the image sent ("37%")
        Finishing,      // one look for the prompt after the transfer: "Almost done..."
        Finished,       // outcome; text: why it failed
    };
    enum class Outcome { Updated, Cancelled, Failed };
    Kind kind;
    QByteArray bytes;
    QString text;
    qint64 after_ms = 0;
    int block = 0;
    Outcome outcome = Outcome::Updated;
};

class FirmwareConversation {
  public:
    enum State : qint16 {
        Idle = 0,
        Prepare = 1,
        SwitchToShell = 3,  // "Q" is leaving at the measurement program's speed
        Settle = 10,
        LookForPrompt = 11,
        LetReceiverStart = 2,
        WaitForReceiver = 22,
        WaitForFirstNak = 4,
        Transfer = 41,
        Finish = 95,
        ServiceSend = 55,  // the service panel's "transfer /s": the machine stands still
    };

    static constexpr qint64 kSettle_ms = 4000;
    static constexpr qint64 kPromptWait_ms = 10000;
    static constexpr qint64 kReceiverStart_ms = 3000;
    // The receive buffer keeps this many of the latest bytes: enough for any text looked for.
    static constexpr qsizetype kMaxReceiveBuffer_bytes = 4096;
    // Added to a write's line time before the port is closed behind it.
    static constexpr qint64 kDrainMargin_ms = 50;

    // "Q", then the shell's line; the download follows unless `service` (the service panel
    // drives the shell by hand once its line is open).
    void begin(const QString& imagePath, bool service, qint64 now_ms);
    // Bytes read from the line; handled at the next advance().
    void feed(const QByteArray& bytes);
    void advance(qint64 now_ms);
    // The user's cancel: the line is given back at once.
    void cancel();
    // The line could not be opened or written, or failed: the download stops.
    void lineFailed(const QString& reason);
    void serviceSendStarted() { state_ = ServiceSend; }
    // Back to idle without a word (the dialog opened again, or Done).
    void stop();

    std::optional<FirmwareOutput> takeOutput();
    bool wakeDue() const { return stepDue_; }
    std::optional<qint64> nextDeadline() const;
    // Bytes from the line are wanted (in the other states they stay in the port).
    bool listening() const;
    bool active() const { return state_ != Idle; }

    State state() const { return state_; }
    const QByteArray& receiveBuffer() const { return buffer_; }
    // The transfer under way or last made (null before the first).
    const XmodemSender* sender() const { return sender_.get(); }

  private:
    enum class Step { Repeat, EndTick };
    Step step(qint64 now);
    Step switchToShell(qint64 now);
    Step prepare(qint64 now);
    Step settle(qint64 now);
    Step lookForPrompt(qint64 now);
    Step letReceiverStart(qint64 now);
    Step waitForReceiver();
    Step transfer();
    Step finish();
    void succeed();
    void fail(const QString& reason);
    void end(FirmwareOutput::Outcome outcome, const QString& reason, qint64 closeAfter_ms);
    void toIdle();

    void put(FirmwareOutput::Kind kind, const QString& text = {});
    void send(const QByteArray& bytes);
    bool readByte(char& byte);
    void append(char byte);
    static qint64 lineTime_ms(qsizetype bytes, int baud);

    State state_ = Idle;
    bool service_ = false;
    QString imagePath_;
    std::deque<FirmwareOutput> out_;
    QByteArray inbox_;  // bytes from the line not yet read
    QByteArray buffer_;
    std::unique_ptr<XmodemSender> sender_;
    qint64 switchAt_ms_ = 0;
    qint64 firstDeadline_ms_ = 0;
    qint64 promptDeadline_ms_ = 0;
    bool stepDue_ = false;  // the state changed: its step runs on the next wake
    bool fresh_ = false;    // bytes were fed since the last advance
};

}  // namespace vantorix
