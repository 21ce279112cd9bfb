// The firmware image read block by block for XMODEM: 128 data bytes per block, the last one
// padded with byte 26, block numbers counting 1 ... 255, 0, 1 ... as the blocks are read.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vantorix {

class FirmwareImage {
  public:
    static constexpr int kBlock_bytes = 128;
    static constexpr char kPadding = 26;

    // Opens the image for reading; image length = its size; block number and bytes read = 0.
    // False with a reason when it cannot be read or holds no bytes. Then reads the first
    // block, as the transfer always starts with one.
    bool OpenFirmwareImage(const QString& path, QString* error = nullptr);
    // Fills the block with the next 128 bytes (the last block padded) and counts its number
    // on; false when the image is exhausted (or could not be read: see failed()).
    bool ReadNextBlock();
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return failed_; }

    quint8 blockNumber() const { return blockNumber_; }
    // The 128 bytes of the block last read.
    const QByteArray& block() const { return block_; }
    qint64 imageLength() const { return imageLength_; }
    qint64 bytesRead() const { return bytesRead_; }

  private:
    QFile file_;
    QByteArray block_;
    quint8 blockNumber_ = 0;
    qint64 imageLength_ = 0;
    qint64 bytesRead_ = 0;
    bool failed_ = false;
};

}  // namespace vantorix
