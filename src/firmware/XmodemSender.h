// The sending side of the firmware transfer, sans-I/O: bytes from the receiver in, bytes for
// the line out. It waits for the receiver's first NAK (anything else is noise), then sends
// the image block by block, the next one on each ACK, and ends with EOT, EOT, CR, LF.
//
// A NAK during the transfer asks for the last block again, as XMODEM receivers expect; after
// kMaxRepeats repeats of one block, or on CAN CAN from the receiver, the transfer fails. A NAK
// after the end is answered with EOT again (receivers may NAK the first EOT).
#pragma once

#include <QByteArray>
#include <QString>

#include "firmware/FirmwareImage.h"

namespace vantorix {

class XmodemSender {
  public:
    static constexpr int kMaxRepeats = 10;
    enum class Phase { WaitingForNak, Sending, Done, Failed };

    explicit XmodemSender(QString imagePath) : imagePath_(std::move(imagePath)) {}

    // One byte from the receiver; returns what to write to the line (often nothing).
    QByteArray feed(char byte);

    Phase phase() const { return phase_; }
    // Why the transfer failed, for the user.
    const QString& failure() const { return failure_; }
    quint8 blockNumber() const { return image_.blockNumber(); }
    qint64 bytesSent() const { return bytesSent_; }
    qint64 imageLength() const { return image_.imageLength(); }
    int blocksSent() const { return blocksSent_; }
    int blocksRepeated() const { return repeatsTotal_; }
    // "37%": the part of the image sent, never above 100 (the padding is not image).
    QString progressText() const;
    // Lets go of the image file.
    void close() { image_.close(); }

    // The steps of the transfer; each appends the bytes to send.
    void SendFirstBlock();
    bool SendNextBlock();
    void SendBlock();

  private:
    void fail(const QString& reason);

    QString imagePath_;
    FirmwareImage image_;
    Phase phase_ = Phase::WaitingForNak;
    QString failure_;
    QByteArray out_;
    QByteArray lastBlock_;
    qint64 bytesSent_ = 0;
    int blocksSent_ = 0;
    int repeats_ = 0;
    int repeatsTotal_ = 0;
    int eotRepeats_ = 0;
    bool canSeen_ = false;
};

}  // namespace vantorix
