// The receiving side of an XMODEM transfer in its checksum variant, as the instrument's shell
// runs it: 132-byte blocks (SOH, number, its complement, 128 data bytes, 8-bit sum), ACK for
// a good or repeated block, NAK for a damaged one, ACK and done on EOT, done as a failure on
// CAN CAN or a block out of sequence. Sans-I/O: bytes in, reply bytes out; the shell owns the
// timers that send NAK while waiting.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vantorix::sim {

class XmodemReceiver {
  public:
    static constexpr char kSoh = 1, kEot = 4, kAck = 6, kNak = 21, kCan = 24;
    static constexpr int kBlockData_bytes = 128;
    static constexpr int kBlock_bytes = kBlockData_bytes + 4;

    enum class Status { Receiving, Completed, Failed };

    // One byte from the sender; returns the bytes to answer with (often none).
    QByteArray feed(char byte);
    // Nothing arrived for a while: drops a half-received block and asks again with NAK.
    QByteArray timedOut();

    Status status() const { return status_; }
    // True while a block has begun but not ended.
    bool inBlock() const { return !block_.isEmpty(); }
    // The data of every accepted block, padding included (XMODEM does not carry the length).
    const QByteArray& data() const { return data_; }
    int blocksAccepted() const { return blocks_; }
    int blocksRejected() const { return rejected_; }

  private:
    QByteArray endBlock();

    Status status_ = Status::Receiving;
    QByteArray block_;
    QByteArray data_;
    quint8 expected_ = 1;
    int blocks_ = 0;
    int rejected_ = 0;
    bool canSeen_ = false;
};

}  // namespace vantorix::sim
