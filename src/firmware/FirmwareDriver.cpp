#include "firmware/FirmwareDriver.h"

#include <QDir>
#include <QFileInfo>

#include "firmware/FirmwareTexts.h"
#include "kernel/InstrumentLine.h"

namespace vantorix {

using namespace firmware;
using Kind = FirmwareOutput::Kind;
using Outcome = FirmwareOutput::Outcome;

FirmwareImageSource programImageSource(const QString& programFolder, const QString& appFolder) {
    FirmwareImageSource source;
    for (const QString& folder : {programFolder, appFolder}) {
        const QString path = QDir(folder).absoluteFilePath(kImageName);
        if (!folder.isEmpty() && !source.candidates.contains(path)) source.candidates << path;
    }
    source.missingMessage = missingImageMessage(QDir::toNativeSeparators(appFolder));
    return source;
}

FirmwareDriver::FirmwareDriver(SerialPort& port, Scheduler& scheduler, FirmwareFrontEnd& ui)
    : port_(port), scheduler_(scheduler), ui_(ui), caption_(kStartCaption) {}

FirmwareDriver::~FirmwareDriver() {
    cancelTimer(wake_);
    if (restoreWake_ != 0 || conv_.active()) restorePort();
    cancelTimer(restoreWake_);
}

void FirmwareDriver::setPort(int portNumber, const QString& portName) {
    portNumber_ = portNumber;
    portName_ = portName;
}

void FirmwareDriver::load() {
    cancelTimer(wake_);
    conv_.stop();
    started_ = false;
    service_ = false;
    caption_ = kStartCaption;
    ui_.setStartCancelCaption(caption_);
    ui_.setDoneEnabled(true);
    ui_.setStatusVisible(false);
}

// --- The user's presses ---

void FirmwareDriver::StartOrCancelDownload() {
    started_ = true;
    if (caption_ != kStartCaption) {
        conv_.cancel();
        pump();
        return;
    }
    if (!service_ && !takeImage()) return;
    setUp();
}

// The first candidate that exists, refused when it is empty or too large to be firmware.
bool FirmwareDriver::takeImage() {
    QString path;
    for (const QString& candidate : source_.candidates) {
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        ui_.inform(source_.missingMessage);
        return false;
    }
    const qint64 size = QFileInfo(path).size();
    if (size == 0 || size > kMaxImage_bytes) {
        ui_.inform(size == 0 ? emptyImageMessage(path) : imageTooLargeMessage(path, size));
        return false;
    }
    imagePath_ = path;
    ui_.announceImage(imageAnnouncement(path, size));
    return true;
}

void FirmwareDriver::setUp() {
    caption_ = kCancelCaption;
    ui_.setStartCancelCaption(caption_);
    if (!service_) ui_.setDoneEnabled(false);
    cancelTimer(restoreWake_);
    if (port_.isOpen()) port_.close();
    port_.setPortNumber(portNumber_);
    if (!portName_.isEmpty()) port_.setPortName(portName_);
    installHandlers();
    conv_.begin(imagePath_, service_, scheduler_.now_ms());
    pump();
}

// --- Service panel ---

bool FirmwareDriver::serviceReopen() {
    port_.close();
    port_.setPortNumber(portNumber_);
    if (!portName_.isEmpty()) port_.setPortName(portName_);
    installHandlers();
    const bool opened = openLine(kShellLine);
    pump();
    return opened;
}

bool FirmwareDriver::serviceSend(const QByteArray& bytes) {
    if (port_.write(bytes)) return true;
    ui_.reportError(QStringLiteral("The port could not be written; open it first."));
    return false;
}

void FirmwareDriver::serviceStartShellSend() {
    if (serviceSend(kServiceSendCommand)) conv_.serviceSendStarted();
}

void FirmwareDriver::closePort() {
    cancelTimer(wake_);
    conv_.stop();
    if (restoreWake_ == 0) restorePort();
}

// --- The loop ---

void FirmwareDriver::wake() {
    while (conv_.listening() && port_.isOpen()) {
        const QByteArray got = port_.read();
        if (got.isEmpty()) break;
        conv_.feed(got);
    }
    conv_.advance(scheduler_.now_ms());
    pump();
}

// Carries out what the conversation asked for, in order, then sets the timer for its next
// wake.
void FirmwareDriver::pump() {
    if (pumping_) return;
    pumping_ = true;
    while (const std::optional<FirmwareOutput> out = conv_.takeOutput()) handle(*out);
    pumping_ = false;
    arm();
}

void FirmwareDriver::handle(const FirmwareOutput& out) {
    switch (out.kind) {
        case Kind::OpenLine:
            openLine(out.text);
            break;
        case Kind::Send:
            write(out.bytes);
            break;
        case Kind::CloseLine:
            closeLineAfter(out.after_ms);
            break;
        case Kind::Preparing:
            ui_.setStatusVisible(true);
            ui_.setStatusText(kPreparing);
            break;
        case Kind::ReceiverReady:
            ui_.setReceiverLabel(QStringLiteral("1"));
            break;
        case Kind::BlockSent:
            ui_.setBlockLabel(QString::number(out.block));
            ui_.setStatusText(out.text);
            break;
        case Kind::Finishing:
            ui_.setStatusText(kAlmostDone);
            break;
        case Kind::Finished:
            finished(out);
            break;
    }
}

void FirmwareDriver::finished(const FirmwareOutput& out) {
    ui_.transferEnded(imagePath_, out.outcome == Outcome::Updated ? QStringLiteral("sent")
                                  : out.outcome == Outcome::Failed
                                      ? QStringLiteral("failed: ") + out.text
                                      : QStringLiteral("cancelled"));
    if (out.outcome == Outcome::Updated) {
        ui_.firmwareUpdated();
        return;
    }
    caption_ = kStartCaption;
    ui_.setStartCancelCaption(caption_);
    ui_.setDoneEnabled(true);
    ui_.setStatusVisible(false);
    ui_.returnedToIdle();
    if (out.outcome == Outcome::Failed) ui_.reportError(out.text);
}

// A state's step runs on the next turn of the event loop, a deadline once the clock reaches it.
void FirmwareDriver::arm() {
    if (pumping_) return;
    std::optional<qint64> at = conv_.nextDeadline();
    if (conv_.wakeDue()) at = scheduler_.now_ms();
    if (at && *at == wakeAt_ms_ && wake_ != 0) return;
    cancelTimer(wake_);
    if (!at) return;
    wakeAt_ms_ = *at;
    wake_ = scheduler_.callAt(*at, [this] {
        wake_ = 0;
        wake();
    });
}

// --- The port ---

bool FirmwareDriver::openLine(const QString& lineSettings) {
    if (port_.isOpen()) port_.close();
    port_.setSettings(lineSettings);
    port_.setInputMode(InputMode::Binary);
    port_.setInputLen(1);
    QString error;
    if (port_.open(&error)) return true;
    conv_.lineFailed(QStringLiteral("The port could not be opened: ") + error);
    return false;
}

void FirmwareDriver::write(const QByteArray& bytes) {
    if (!port_.write(bytes))
        conv_.lineFailed(
            QStringLiteral("The port could not be written; the download has stopped."));
}

void FirmwareDriver::closeLineAfter(qint64 delay_ms) {
    cancelTimer(restoreWake_);
    if (delay_ms <= 0) return restorePort();
    restoreWake_ = scheduler_.callAfter(delay_ms, [this] {
        restoreWake_ = 0;
        restorePort();
    });
}

// Back to what the next run expects: measurement settings, text input, whole reads, closed.
void FirmwareDriver::restorePort() {
    onReady_.reset();
    onError_.reset();
    port_.close();
    port_.setSettings(kInstrumentLineSettings);
    port_.setInputMode(InputMode::Text);
    port_.setInputLen(0);
}

void FirmwareDriver::installHandlers() {
    onReady_ = port_.onReady([this] { wake(); });
    onError_ = port_.onError([this](const QString& reason) {
        if (!conv_.active()) return;
        conv_.lineFailed(reason);
        pump();
    });
}

void FirmwareDriver::cancelTimer(Scheduler::TimerId& id) {
    if (id != 0) scheduler_.cancel(id);
    id = 0;
}

}  // namespace vantorix
