#include "firmware/FirmwareDownload.h"

#include <QDir>
#include <QFileInfo>

#include "firmware/FirmwareTexts.h"
#include "kernel/InstrumentLine.h"

namespace vantorix {

using namespace firmware;

FirmwareImageSource programImageSource(const QString& programFolder, const QString& appFolder) {
    FirmwareImageSource source;
    for (const QString& folder : {programFolder, appFolder}) {
        const QString path = QDir(folder).absoluteFilePath(kImageName);
        if (!folder.isEmpty() && !source.candidates.contains(path)) source.candidates << path;
    }
    source.missingMessage = missingImageMessage(QDir::toNativeSeparators(appFolder));
    return source;
}

FirmwareDownload::FirmwareDownload(SerialPort& port, Scheduler& scheduler, FirmwareFrontEnd& ui)
    : port_(port), scheduler_(scheduler), ui_(ui), caption_(kStartCaption) {}

FirmwareDownload::~FirmwareDownload() {
    cancelTimer(wake_);
    cancelTimer(setUpWake_);
    if (restoreWake_ != 0 || setUpWake_ != 0 || state_ != Idle) restorePort();
    cancelTimer(restoreWake_);
}

void FirmwareDownload::setPort(int portNumber, const QString& portName) {
    portNumber_ = portNumber;
    portName_ = portName;
}

void FirmwareDownload::load() {
    cancelTimer(wake_);
    wakeAt_ms_ = -1;
    state_ = Idle;
    buffer_.clear();
    started_ = false;
    service_ = false;
    caption_ = kStartCaption;
    ui_.setStartCancelCaption(caption_);
    ui_.setDoneEnabled(true);
    ui_.setStatusVisible(false);
}

// --- The user's presses ---

void FirmwareDownload::StartOrCancelDownload() {
    started_ = true;
    if (caption_ != kStartCaption) {
        state_ = Cancel;
        tick();
        return;
    }
    if (!service_) {
        const QString path = locateImage();
        if (path.isEmpty()) {
            ui_.inform(source_.missingMessage);
            return;
        }
        const qint64 size = QFileInfo(path).size();
        if (size == 0) {
            ui_.inform(emptyImageMessage(path));
            return;
        }
        if (size > kMaxImage_bytes) {
            ui_.inform(imageTooLargeMessage(path, size));
            return;
        }
        imagePath_ = path;
        ui_.announceImage(imageAnnouncement(path, size));
    }
    setUp();
}

QString FirmwareDownload::locateImage() const {
    for (const QString& candidate : source_.candidates)
        if (QFileInfo(candidate).isFile()) return candidate;
    return {};
}

// The measurement program hears "Q" at its own speed, so it must have gone out before the
// port is reopened at the shell's speed.
void FirmwareDownload::setUp() {
    caption_ = kCancelCaption;
    ui_.setStartCancelCaption(caption_);
    if (!service_) ui_.setDoneEnabled(false);
    cancelTimer(restoreWake_);
    if (port_.isOpen()) port_.close();
    port_.setPortNumber(portNumber_);
    if (!portName_.isEmpty()) port_.setPortName(portName_);
    installHandlers();
    if (!openPort(kInstrumentLineSettings) || !send(kQuit)) return;
    setUpWake_ = scheduler_.callAfter(lineTime_ms(kQuit.size(), 2400) + kDrainMargin_ms, [this] {
        setUpWake_ = 0;
        continueSetUp();
    });
}

void FirmwareDownload::continueSetUp() {
    port_.close();
    if (!openPort(kShellLine) || !send(kWake)) return;
    if (!service_) {
        state_ = Prepare;
        tick();
    }
}

bool FirmwareDownload::openPort(const QString& lineSettings) {
    port_.setSettings(lineSettings);
    port_.setInputMode(InputMode::Binary);
    port_.setInputLen(1);
    QString error;
    if (port_.open(&error)) return true;
    fail(QStringLiteral("The port could not be opened: ") + error);
    return false;
}

// --- Service panel ---

bool FirmwareDownload::serviceReopen() {
    port_.close();
    port_.setPortNumber(portNumber_);
    if (!portName_.isEmpty()) port_.setPortName(portName_);
    installHandlers();
    return openPort(kShellLine);
}

bool FirmwareDownload::serviceSend(const QByteArray& bytes) {
    if (port_.write(bytes)) return true;
    ui_.reportError(QStringLiteral("The port could not be written; open it first."));
    return false;
}

void FirmwareDownload::serviceStartShellSend() {
    if (serviceSend(kServiceSendCommand)) state_ = ServiceSend;
}

void FirmwareDownload::closePort() {
    cancelTimer(setUpWake_);
    cancelTimer(wake_);
    wakeAt_ms_ = -1;
    state_ = Idle;
    buffer_.clear();
    if (sender_) sender_->close();
    if (restoreWake_ == 0) restorePort();
}

// --- The tick ---

void FirmwareDownload::tick() {
    if (ticking_) {
        tickAgain_ = true;
        return;
    }
    ticking_ = true;
    const State before = state_;
    do {
        tickAgain_ = false;
        while (step() == Step::Repeat) {
        }
    } while (tickAgain_);
    ticking_ = false;
    scheduleWake(state_ != before);
}

FirmwareDownload::Step FirmwareDownload::step() {
    const qint64 now = scheduler_.now_ms();
    switch (state_) {
        case Idle:
            if (sender_) sender_->close();
            buffer_.clear();
            return Step::EndTick;
        case Prepare:
            return prepare(now);
        case Settle:
            return settle(now);
        case LookForPrompt:
            return lookForPrompt(now);
        case LetReceiverStart:
            // The shell's announcement stays in the port until the receiver has had its time.
            if (now <= firstDeadline_ms_)
                buffer_.clear();
            else
                state_ = WaitForReceiver;
            return Step::EndTick;
        case WaitForReceiver:
            return waitForReceiver();
        case WaitForFirstNak:
        case Transfer:
            return transfer();
        case Finish:
            return finish();
        case Cancel:
            return cancel();
        case ServiceSend:
            break;
    }
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::prepare(qint64 now) {
    ui_.setStatusVisible(true);
    ui_.setStatusText(kPreparing);
    state_ = Settle;
    if (!send(kDriveB)) return Step::EndTick;
    firstDeadline_ms_ = now + kSettle_ms;
    buffer_.clear();
    promptDeadline_ms_ = now + kPromptWait_ms;
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::settle(qint64 now) {
    if (now <= firstDeadline_ms_) {
        char discarded;
        while (readByte(discarded)) {
        }
        buffer_.clear();
        return Step::EndTick;
    }
    state_ = LookForPrompt;
    send(kNewLine);
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::lookForPrompt(qint64 now) {
    char byte;
    if (readByte(byte)) {
        append(byte);
        return Step::Repeat;
    }
    if (buffer_.contains(kPrompt)) {
        if (!send(kReceiveCommand)) return Step::EndTick;
        state_ = LetReceiverStart;
        firstDeadline_ms_ = now + kReceiverStart_ms;
    } else if (now > promptDeadline_ms_) {
        state_ = Prepare;  // a new attempt
    }
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::waitForReceiver() {
    char byte;
    if (readByte(byte)) {
        append(byte);
        return Step::Repeat;
    }
    if (buffer_.contains(kReceiverReady)) {
        ui_.setReceiverLabel(QStringLiteral("1"));
        sender_ = std::make_unique<XmodemSender>(imagePath_);
        state_ = WaitForFirstNak;
    }
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::transfer() {
    char byte;
    if (!readByte(byte)) return Step::EndTick;
    const int blocksBefore = sender_->blocksSent();
    const QByteArray out = sender_->feed(byte);
    if (!out.isEmpty() && !send(out)) return Step::EndTick;
    if (sender_->blocksSent() != blocksBefore) {
        ui_.setBlockLabel(QString::number(sender_->blockNumber()));
        ui_.setStatusText(sender_->progressText());
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

FirmwareDownload::Step FirmwareDownload::finish() {
    ui_.setStatusText(kAlmostDone);
    char byte;
    if (readByte(byte)) {
        append(byte);
        const QByteArray again = sender_ ? sender_->feed(byte) : QByteArray();
        if (!again.isEmpty() && !send(again)) return Step::EndTick;
        return Step::Repeat;
    }
    if (buffer_.contains(kPrompt)) succeed();
    return Step::EndTick;
}

FirmwareDownload::Step FirmwareDownload::cancel() {
    caption_ = kStartCaption;
    ui_.setStartCancelCaption(caption_);
    ui_.setDoneEnabled(true);
    ui_.setStatusVisible(false);
    state_ = Idle;
    cancelTimer(setUpWake_);
    restorePort();
    ui_.returnedToIdle();
    return Step::EndTick;
}

// --- Ends of a download ---

void FirmwareDownload::succeed() {
    if (!send(kRunFirmware)) return;
    state_ = Idle;
    buffer_.clear();
    // The port closes once "melto" has left at the shell's speed.
    restorePortAfter(lineTime_ms(kRunFirmware.size(), 9600) + kDrainMargin_ms);
    ui_.firmwareUpdated();
}

void FirmwareDownload::fail(const QString& reason) {
    state_ = Cancel;
    cancel();
    ui_.reportError(reason);
}

void FirmwareDownload::restorePortAfter(qint64 delay_ms) {
    cancelTimer(restoreWake_);
    restoreWake_ = scheduler_.callAfter(delay_ms, [this] {
        restoreWake_ = 0;
        restorePort();
    });
}

// Back to what the next run expects: measurement settings, text input, whole reads, closed.
void FirmwareDownload::restorePort() {
    onReady_.reset();
    onError_.reset();
    port_.close();
    port_.setSettings(kInstrumentLineSettings);
    port_.setInputMode(InputMode::Text);
    port_.setInputLen(0);
}

// --- Port and timers ---

void FirmwareDownload::installHandlers() {
    onReady_ = port_.onReady([this] { tick(); });
    onError_ = port_.onError([this](const QString& reason) {
        if (state_ != Idle || setUpWake_ != 0) fail(reason);
    });
}

bool FirmwareDownload::send(const QByteArray& bytes) {
    if (port_.write(bytes)) return true;
    fail(QStringLiteral("The port could not be written; the download has stopped."));
    return false;
}

bool FirmwareDownload::readByte(char& byte) {
    const QByteArray got = port_.read();
    if (got.isEmpty()) return false;
    byte = got[0];
    return true;
}

void FirmwareDownload::append(char byte) {
    buffer_.append(byte);
    if (buffer_.size() > kMaxReceiveBuffer_bytes)
        buffer_.remove(0, buffer_.size() - kMaxReceiveBuffer_bytes);
}

qint64 FirmwareDownload::lineTime_ms(qsizetype bytes, int baud) const {
    return (qint64(bytes) * 10 * 1000 + baud - 1) / baud;
}

void FirmwareDownload::scheduleWake(bool stateChanged) {
    qint64 at = -1;
    if (stateChanged && state_ != Idle)
        at = scheduler_.now_ms();  // the next state's step, on the next turn
    else if (state_ == Settle || state_ == LetReceiverStart)
        at = firstDeadline_ms_ + 1;
    else if (state_ == LookForPrompt)
        at = promptDeadline_ms_ + 1;
    if (at == wakeAt_ms_ && wake_ != 0) return;
    cancelTimer(wake_);
    wakeAt_ms_ = at;
    if (at < 0) return;
    wake_ = scheduler_.callAt(at, [this] {
        wake_ = 0;
        wakeAt_ms_ = -1;
        tick();
    });
}

void FirmwareDownload::cancelTimer(Scheduler::TimerId& id) {
    if (id != 0) scheduler_.cancel(id);
    id = 0;
}

}  // namespace vantorix
