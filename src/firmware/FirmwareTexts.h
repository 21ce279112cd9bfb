// What the firmware download shows and says on the line, written once.
#pragma once

#include <QByteArray>
#include <QString>

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

// The measurement link's settings, and the command shell's.
inline const QString kMeasurementLine = QStringLiteral("2400,n,8,1");
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
