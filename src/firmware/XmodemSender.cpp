#include "firmware/XmodemSender.h"

#include <utility>

#include "firmware/Xmodem.h"

namespace vantorix {

QByteArray XmodemSender::feed(char byte) {
    const bool cancelled = byte == xmodem::kCan && canSeen_;
    canSeen_ = byte == xmodem::kCan;
    switch (phase_) {
        case Phase::WaitingForNak:
            if (byte == xmodem::kNak) SendFirstBlock();
            break;
        case Phase::Sending:
            if (cancelled) {
                fail(QStringLiteral("The instrument cancelled the transfer."));
            } else if (byte == xmodem::kAck) {
                repeats_ = 0;
                if (!SendNextBlock() && phase_ == Phase::Sending) {
                    out_.append(xmodem::end());
                    phase_ = Phase::Done;
                    image_.close();
                }
            } else if (byte == xmodem::kNak) {
                if (++repeats_ > kMaxRepeats) {
                    fail(QStringLiteral("The instrument refused block %1 %2 times.")
                             .arg(image_.blockNumber())
                             .arg(kMaxRepeats + 1));
                } else {
                    ++repeatsTotal_;
                    out_.append(lastBlock_);
                }
            }
            break;  // any other byte is noise
        case Phase::Done:
            // A receiver may NAK the first EOT to be sure of it: say it again.
            if (byte == xmodem::kNak && eotRepeats_ < kMaxRepeats) {
                ++eotRepeats_;
                out_.append(xmodem::kEot);
            }
            break;
        case Phase::Failed:
            break;
    }
    return std::exchange(out_, {});
}

void XmodemSender::SendFirstBlock() {
    QString error;
    if (!image_.OpenFirmwareImage(imagePath_, &error)) {
        fail(error);
        return;
    }
    bytesSent_ = 0;
    phase_ = Phase::Sending;
    SendBlock();
}

bool XmodemSender::SendNextBlock() {
    if (!image_.ReadNextBlock()) {
        if (image_.failed())
            fail(QStringLiteral("The firmware image '%1' could not be read to its end.")
                     .arg(imagePath_));
        return false;
    }
    SendBlock();
    return true;
}

void XmodemSender::SendBlock() {
    lastBlock_ = xmodem::block(image_.blockNumber(), image_.block());
    out_.append(lastBlock_);
    bytesSent_ += xmodem::kData_bytes;
    ++blocksSent_;
}

QString XmodemSender::progressText() const {
    const qint64 length = image_.imageLength();
    const qint64 sent = qMin(bytesSent_, length);
    return QString::number(length > 0 ? sent * 100 / length : 0) + u'%';
}

void XmodemSender::fail(const QString& reason) {
    phase_ = Phase::Failed;
    failure_ = reason;
    image_.close();
}

}  // namespace vantorix
