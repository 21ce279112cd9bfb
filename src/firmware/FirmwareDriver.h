// The firmware download's driver: it finds the image, keeps the dialog's buttons, and carries
// out what the conversation (FirmwareConversation) asks for, in order: the line opened at its
// speeds, bytes written, the line given back; the download's state shown. What the port holds
// goes to the conversation, and one timer on the scheduler wakes it again. The only place the
// download touches the port or the clock.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "firmware/FirmwareConversation.h"
#include "firmware/FirmwareFrontEnd.h"
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

class FirmwareDriver {
  public:
    FirmwareDriver(SerialPort& port, Scheduler& scheduler, FirmwareFrontEnd& ui);
    ~FirmwareDriver();
    FirmwareDriver(const FirmwareDriver&) = delete;
    FirmwareDriver& operator=(const FirmwareDriver&) = delete;

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

    const FirmwareConversation& conversation() const { return conv_; }
    const QString& startCaption() const { return caption_; }

  private:
    bool takeImage();
    void setUp();
    void wake();
    void pump();
    void handle(const FirmwareOutput& out);
    void finished(const FirmwareOutput& out);
    void arm();
    bool openLine(const QString& lineSettings);
    void write(const QByteArray& bytes);
    void closeLineAfter(qint64 delay_ms);
    void restorePort();
    void cancelTimer(Scheduler::TimerId& id);
    void installHandlers();

    SerialPort& port_;
    Scheduler& scheduler_;
    FirmwareFrontEnd& ui_;
    int portNumber_ = 1;
    QString portName_;
    FirmwareImageSource source_;
    FirmwareConversation conv_;

    QString caption_;
    QString imagePath_;
    bool started_ = false;
    bool service_ = false;
    bool pumping_ = false;

    Scheduler::TimerId wake_ = 0;
    qint64 wakeAt_ms_ = -1;
    Scheduler::TimerId restoreWake_ = 0;
    // Held only while the download drives the port; dropped with the download at the latest,
    // so no byte can reach a download that is gone.
    Subscription onReady_;
    Subscription onError_;
};

}  // namespace vantorix
