#include "simulator/XmodemReceiver.h"

namespace vantorix::sim {

QByteArray XmodemReceiver::feed(char byte) {
    if (status_ != Status::Receiving) return {};
    if (!block_.isEmpty()) {
        block_.append(byte);
        return block_.size() == kBlock_bytes ? endBlock() : QByteArray();
    }
    if (byte == kSoh) {
        block_.append(byte);
        canSeen_ = false;
        return {};
    }
    if (byte == kEot) {
        status_ = Status::Completed;
        return QByteArray(1, kAck);
    }
    if (byte == kCan) {
        // One CAN may be noise; two in a row end the transfer.
        if (canSeen_) status_ = Status::Failed;
        canSeen_ = true;
        return {};
    }
    canSeen_ = false;
    return {};  // noise between blocks
}

QByteArray XmodemReceiver::timedOut() {
    if (status_ != Status::Receiving) return {};
    block_.clear();
    return QByteArray(1, kNak);
}

QByteArray XmodemReceiver::endBlock() {
    const auto number = static_cast<quint8>(block_[1]);
    const auto complement = static_cast<quint8>(block_[2]);
    quint8 sum = 0;
    for (int i = 3; i < 3 + kBlockData_bytes; ++i) sum += static_cast<quint8>(block_[i]);
    const bool intact =
        quint8(number + complement) == 255 && sum == static_cast<quint8>(block_[kBlock_bytes - 1]);
    const QByteArray data = block_.mid(3, kBlockData_bytes);
    block_.clear();
    if (!intact) {
        ++rejected_;
        return QByteArray(1, kNak);
    }
    if (number == quint8(expected_ - 1) && blocks_ > 0) return QByteArray(1, kAck);  // repeat
    if (number != expected_) {
        status_ = Status::Failed;
        return QByteArray(2, kCan);
    }
    data_.append(data);
    ++expected_;
    ++blocks_;
    return QByteArray(1, kAck);
}

}  // namespace vantorix::sim
