// What the firmware download shows and says on the line, written once.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace vantorix::firmware {

inline const QString kImageName = QStringLiteral("melto.exe");
inline const QString kStartCaption = QStringLiteral("&Start Download");
inline const QString kCancelCaption = QStringLiteral("&Cancel");
inline const QString kPreparing = QStringLiteral("Preparing Luminometer...");
inline const QString kAlmostDone = QStringLiteral("Almost done...");
inline const QString kUpdated = QStringLiteral("The firmware has been updated.");
inline const QString kReboot = QStringLiteral("Please reboot the vantorix box and press 'Done'");
inline const QString kPleaseWait = QStringLiteral(
    "Please do not touch the keyboard or mouse until the download is complete or you wish to "
    "cancel.");

// "Please place the file 'melto.exe' into the directory 'FOLDER',  and try again."
inline QString missingImageMessage(const QString& folder) {
    return QStringLiteral("Please place the file '") + kImageName +
           QStringLiteral("' into the directory '") + folder + QStringLiteral("',  and try again.");
}
inline QString emptyImageMessage(const QString& path) {
    return QStringLiteral("The firmware image '") + path +
           QStringLiteral("' is empty. Nothing has been sent to the instrument.");
}

// Largest image accepted. XMODEM's block number is one byte and wraps every 256 blocks (32 KB),
// so nothing in the protocol bounds a transfer and the receiver cannot tell a lost run of 256
// blocks from a repeat: the longer the transfer, the likelier an undetected slip, and every
// such transfer costs the user a manual reboot. The shell's receiver writes the image to the
// instrument's B: drive, from which it is started as a real-mode program ("melto"), and such a
// program cannot be larger than the 640 KB of conventional memory. 640 KB is 5120 blocks,
// about 12 minutes at 9600 baud; a larger file cannot be firmware the instrument can run.
constexpr qint64 kMaxImage_bytes = 640 * 1024;
constexpr int kShellBaud = 9600;

// "The firmware image 'PATH' holds 200,000,000 bytes; the instrument can take at most ..."
QString imageTooLargeMessage(const QString& path, qint64 bytes);
// Expected time of sending `bytes` through XMODEM at the shell's speed: every 128 data bytes
// travel as a 132-byte block plus the one-byte acknowledgement, 10 bits a byte on the line.
qint64 transferTime_s(qint64 bytes);
// "melto.exe: 52,224 bytes (408 blocks), about 57 s at 9600 baud", shown before the start.
QString imageAnnouncement(const QString& path, qint64 bytes);

// The command shell's line settings (the measurement program's: kInstrumentLineSettings).
inline const QString kShellLine = QStringLiteral("9600,n,8,1");

// The conversation with the instrument's shell.
inline const QByteArray kQuit = "Q\r\n";
inline const QByteArray kWake = "\r\n\r\n";
inline const QByteArray kDriveB = "b:\r\n";
inline const QByteArray kNewLine = "\r\n";
inline const QByteArray kPrompt = "B:\\>";
inline const QByteArray kReceiveCommand = "transfer /r melto.exe\r\n";
inline const QByteArray kReceiverReady = "Receiving melto.exe...";
inline const QByteArray kRunFirmware = "melto\r\n";
inline const QByteArray kServiceSendCommand = "transfer /s melto2.exe\r\n";

}  // namespace vantorix::firmware
