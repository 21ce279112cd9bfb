#include "simulator/ShellMode.h"

#include <cctype>
#include <utility>

namespace vantorix::sim {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

ShellMode::ShellMode(Scheduler& scheduler, InstrumentLink& link, std::function<void()> leave)
    : scheduler_(scheduler), link_(link), leave_(std::move(leave)) {}

ShellMode::~ShellMode() {
    if (timer_ != 0) scheduler_.cancel(timer_);
}

qsizetype ShellMode::findQuitLine(QByteArray& pending, QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (isLineEnd(c)) {
            const bool quit = pending == "Q";
            pending.clear();
            if (quit) return i + 1;
        } else if (pending.size() < 8) {
            pending.append(c);
        }
    }
    return -1;
}

void ShellMode::enter() {
    drive_ = 'A';
    line_.clear();
    // The LF of the "Q" line's CR LF may still follow.
    lastWasCr_ = true;
    send("\r\nVantorix command shell\r\n");
    prompt();
}

void ShellMode::prompt() {
    send(QByteArray("\r\n") + drive_ + ":\\>");
}

void ShellMode::feed(QByteArrayView bytes, qint64) {
    for (const char c : bytes) {
        if (receiver_) {
            receiveByte(c);
            continue;
        }
        if (isLineEnd(c)) {
            const bool secondHalf = c == '\n' && lastWasCr_;
            lastWasCr_ = c == '\r';
            if (!secondHalf) onLine(std::exchange(line_, {}));
            continue;
        }
        lastWasCr_ = false;
        if (static_cast<unsigned char>(c) >= 0x20 && line_.size() < kMaxLineLength_bytes)
            line_.append(c);
    }
}

void ShellMode::onLine(const QByteArray& raw) {
    const QByteArray line = raw.trimmed();
    const QByteArray lower = line.toLower();
    if (line.isEmpty()) {
        prompt();
    } else if (line.size() == 2 && line[1] == ':' && std::isalpha(static_cast<uchar>(line[0]))) {
        drive_ = static_cast<char>(std::toupper(static_cast<uchar>(line[0])));
        prompt();
    } else if (lower.startsWith("transfer /r ") && lower.size() > 12) {
        startReceive(line.mid(12).trimmed());
    } else if (lower == "melto" && files_.count("MELTO.EXE")) {
        send("\r\n" + imageReport("MELTO.EXE", files_["MELTO.EXE"]) + "\r\nStarting...\r\n");
        if (leave_) leave_();
    } else {
        send("\r\nBad command or file name");
        prompt();
    }
}

void ShellMode::startReceive(const QByteArray& name) {
    receiveName_ = name;
    receiver_ = std::make_unique<XmodemReceiver>();
    timeouts_ = 0;
    blockTimer_ = false;
    send("\r\nReceiving " + name + "...\r\n");
    armTimer(kStartNakInterval_ms);
}

void ShellMode::receiveByte(char byte) {
    const QByteArray reply = receiver_->feed(byte);
    if (!reply.isEmpty()) send(reply);
    if (receiver_->status() != XmodemReceiver::Status::Receiving) {
        finishReceive();
        return;
    }
    if (receiver_->inBlock() || receiver_->blocksAccepted() > 0) {
        timeouts_ = 0;
        lastByte_ms_ = scheduler_.now_ms();
        // One timer for the whole transfer: it looks at the last byte's time when it fires.
        if (timer_ == 0 || !blockTimer_) {
            blockTimer_ = true;
            armTimer(kBlockTimeout_ms);
        }
    }
}

void ShellMode::armTimer(qint64 delay_ms) {
    if (timer_ != 0) scheduler_.cancel(timer_);
    timer_ = scheduler_.callAfter(delay_ms, [this] {
        timer_ = 0;
        onTimer();
    });
}

void ShellMode::onTimer() {
    if (!receiver_) return;
    if (blockTimer_) {
        const qint64 quiet_ms = scheduler_.now_ms() - lastByte_ms_;
        if (quiet_ms < kBlockTimeout_ms) {
            armTimer(kBlockTimeout_ms - quiet_ms);
            return;
        }
    }
    const bool started = receiver_->inBlock() || receiver_->blocksAccepted() > 0;
    const int limit = started ? kMaxBlockRetries : kStartNakTries;
    if (++timeouts_ > limit) {
        send(QByteArray(2, XmodemReceiver::kCan));
        receiver_.reset();
        send("\r\nTransfer aborted");
        prompt();
        return;
    }
    send(receiver_->timedOut());
    armTimer(started ? kBlockTimeout_ms : kStartNakInterval_ms);
}

void ShellMode::finishReceive() {
    if (timer_ != 0) scheduler_.cancel(timer_);
    timer_ = 0;
    const bool ok = receiver_->status() == XmodemReceiver::Status::Completed;
    if (ok) files_[receiveName_.toUpper()] = receiver_->data();
    receiver_.reset();
    lastWasCr_ = false;
    if (!ok) send("\r\nTransfer aborted");
    prompt();
}

QByteArray ShellMode::file(const QByteArray& name) const {
    const auto it = files_.find(name.toUpper());
    return it == files_.end() ? QByteArray() : it->second;
}

QByteArray ShellMode::imageReport(const QByteArray& name, const QByteArray& data) {
    quint32 sum = 0;
    for (const char c : data) sum += static_cast<quint8>(c);
    return name + ' ' + QByteArray::number(data.size()) + " bytes, checksum 0x" +
           QByteArray::number(sum, 16).toUpper().rightJustified(8, '0');
}

}  // namespace vantorix::sim
