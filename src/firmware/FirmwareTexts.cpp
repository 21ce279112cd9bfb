#include "firmware/FirmwareTexts.h"

#include <QFileInfo>
#include <QLocale>

namespace vantorix::firmware {

namespace {

QString bytesText(qint64 bytes) {
    return QLocale(QLocale::English).toString(bytes);
}

QString durationText(qint64 seconds) {
    if (seconds < 60) return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600) return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

}  // namespace

QString imageTooLargeMessage(const QString& path, qint64 bytes) {
    return QStringLiteral(
               "The firmware image '%1' holds %2 bytes; the instrument can take at "
               "most %3 bytes, so this cannot be its firmware. Nothing has been sent "
               "to the instrument.")
        .arg(path, bytesText(bytes), bytesText(kMaxImage_bytes));
}

qint64 transferTime_s(qint64 bytes) {
    const qint64 blocks = (bytes + 127) / 128;
    const qint64 bits = blocks * (132 + 1) * 10;
    return (bits + kShellBaud - 1) / kShellBaud;
}

QString imageAnnouncement(const QString& path, qint64 bytes) {
    return QStringLiteral("%1: %2 bytes (%3 blocks), about %4 at %5 baud")
        .arg(QFileInfo(path).fileName(), bytesText(bytes))
        .arg((bytes + 127) / 128)
        .arg(durationText(transferTime_s(bytes)))
        .arg(kShellBaud);
}

}  // namespace vantorix::firmware
