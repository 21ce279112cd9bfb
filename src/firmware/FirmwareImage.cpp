#include "firmware/FirmwareImage.h"

#include "files/RegularFile.h"

namespace vantorix {

bool FirmwareImage::OpenFirmwareImage(const QString& path, QString* error) {
    close();
    failed_ = false;
    QString reason;
    if (!openRegularFile(file_, path, &reason)) {
        if (error) *error = QStringLiteral("Cannot read '%1': %2").arg(path, reason);
        return false;
    }
    imageLength_ = file_.size();
    blockNumber_ = 0;
    bytesRead_ = 0;
    if (imageLength_ <= 0) {
        if (error) *error = QStringLiteral("The firmware image '%1' is empty.").arg(path);
        close();
        return false;
    }
    if (!ReadNextBlock()) {
        if (error) *error = QStringLiteral("Cannot read '%1': %2").arg(path, file_.errorString());
        close();
        return false;
    }
    return true;
}

bool FirmwareImage::ReadNextBlock() {
    if (!file_.isOpen() || bytesRead_ >= imageLength_) return false;
    const qint64 wanted = qMin<qint64>(kBlock_bytes, imageLength_ - bytesRead_);
    block_ = file_.read(wanted);
    if (block_.size() != wanted) {
        // The file shrank or failed under us: stop rather than send a block it does not hold.
        failed_ = true;
        return false;
    }
    bytesRead_ += wanted;
    if (block_.size() < kBlock_bytes) block_.append(kBlock_bytes - block_.size(), kPadding);
    blockNumber_ = static_cast<quint8>(blockNumber_ + 1);
    return true;
}

}  // namespace vantorix
