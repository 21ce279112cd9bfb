// The firmware download as a state machine on the program's port and scheduler: "Q" to the
// measurement program at 2400 baud, then the command shell at 9600 baud ("b:", the prompt
// "B:\>", "transfer /r melto.exe"), the XMODEM transfer, the prompt again and "melto".
//
// Each tick repeats the step of the current state until a step ends the tick. Ticks come
// from the port (bytes arrived), from the deadlines of the waiting states and from the
// user's presses; an idle download costs nothing.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "firmware/FirmwareFrontEnd.h"
#include "firmware/XmodemSender.h"
#include "kernel/Scheduler.h"
#include "serial/SerialPort.h"

namespace vantorix {

// Where the image is looked for: the first candidate that exists is sent; when none does,
// missingMessage is shown.
struct FirmwareImageSource {
    QStringList candidates;
    QString missingMessage;
};

// The dialog's image "melto.exe": looked for in the program's folder, then in the writable
// folder of the program's files (the same one for a portable install); the message names the
// writable folder, the one the user can place the file in.
FirmwareImageSource programImageSource(const QString& programFolder, const QString& appFolder);

class FirmwareDownload {
  public:
    enum State : qint16 {
        Idle = 0,
        Prepare = 1,
        Settle = 10,
        LookForPrompt = 11,
        LetReceiverStart = 2,
        WaitForReceiver = 22,
        WaitForFirstNak = 4,
        Transfer = 41,
        Finish = 95,
        Cancel = 99,
        ServiceSend = 55,  // the service panel's "transfer /s": the machine stands still
    };

    static constexpr qint64 kSettle_ms = 4000;
    static constexpr qint64 kPromptWait_ms = 10000;
    static constexpr qint64 kReceiverStart_ms = 3000;
    // The receive buffer keeps this many of the latest bytes: enough for any text looked for.
    static constexpr qsizetype kMaxReceiveBuffer_bytes = 4096;
    // Added to a write's line time before the port is closed behind it.
    static constexpr qint64 kDrainMargin_ms = 50;

    FirmwareDownload(SerialPort& port, Scheduler& scheduler, FirmwareFrontEnd& ui);
    ~FirmwareDownload();
    FirmwareDownload(const FirmwareDownload&) = delete;
    FirmwareDownload& operator=(const FirmwareDownload&) = delete;

    // The persisted port number, and a device name that wins over it when not empty.
    void setPort(int portNumber, const QString& portName);
    void setImageSource(FirmwareImageSource source) { source_ = std::move(source); }

    // Every opening of the dialog: idle, empty receive buffer, started flag cleared.
    void load();
    // "&Start Download" sets the port up and starts the transfer; "&Cancel" ends it.
    void StartOrCancelDownload();
    bool started() const { return started_; }
    void clearStarted() { started_ = false; }
    // True while the port is driven from the service panel: no image, no transfer.
    void setServiceFlag(bool on) { service_ = on; }
    bool serviceFlag() const { return service_; }

    // Service panel: reopen at the shell's settings; send bytes; start the shell's sender.
    bool serviceReopen();
    bool serviceSend(const QByteArray& bytes);
    void serviceStartShellSend();

    // "&Done": closes the port and puts it back to the measurement link's settings.
    void closePort();

    State state() const { return state_; }
    const QByteArray& receiveBuffer() const { return buffer_; }
    const QString& startCaption() const { return caption_; }
    // The transfer under way or last made (null before the first).
    const XmodemSender* sender() const { return sender_.get(); }
    void tick();

  private:
    enum class Step { Repeat, EndTick };
    Step step();
    Step prepare(qint64 now);
    Step settle(qint64 now);
    Step lookForPrompt(qint64 now);
    Step waitForReceiver();
    Step transfer();
    Step finish();
    Step cancel();

    QString locateImage() const;
    void setUp();
    void continueSetUp();
    bool openPort(const QString& lineSettings);
    bool send(const QByteArray& bytes);
    bool readByte(char& byte);
    void append(char byte);
    void fail(const QString& reason);
    void succeed();
    void restorePort();
    void restorePortAfter(qint64 delay_ms);
    qint64 lineTime_ms(qsizetype bytes, int baud) const;
    void scheduleWake(bool stateChanged);
    void cancelTimer(Scheduler::TimerId& id);
    void installHandlers();

    SerialPort& port_;
    Scheduler& scheduler_;
    FirmwareFrontEnd& ui_;
    int portNumber_ = 1;
    QString portName_;
    FirmwareImageSource source_;

    State state_ = Idle;
    QString caption_;
    QByteArray buffer_;
    QString imagePath_;
    std::unique_ptr<XmodemSender> sender_;
    qint64 firstDeadline_ms_ = 0;
    qint64 promptDeadline_ms_ = 0;
    bool started_ = false;
    bool service_ = false;

    bool ticking_ = false;
    bool tickAgain_ = false;
    Scheduler::TimerId wake_ = 0;
    qint64 wakeAt_ms_ = -1;
    Scheduler::TimerId setUpWake_ = 0;
    Scheduler::TimerId restoreWake_ = 0;
    // Held only while the download drives the port; dropped with the download at the latest,
    // so no byte can reach a download that is gone.
    Subscription onReady_;
    Subscription onError_;
};

}  // namespace vantorix
