// "Download New Firmware": a password panel in front of the download panel (first code) and
// the service panel (second code), which drives the instrument's shell by hand. The transfer
// itself is FirmwareDriver's; this window shows it and forwards the presses.
#pragma once

#include <QDialog>
#include <memory>

#include "firmware/FirmwareDriver.h"
#include "firmware/FirmwareFrontEnd.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantorix {

class Dialogs;
class Scheduler;
class SerialPort;
class SettingsStore;
class frmMain;

class frmDownloadNewFirmware : public QDialog, private FirmwareFrontEnd {
    Q_OBJECT
  public:
    static constexpr const char* kDownloadCode = "3094";
    static constexpr const char* kServiceCode = "3061";

    frmDownloadNewFirmware(SerialPort& comPort, Scheduler& scheduler, Dialogs& dialogs,
                           SettingsStore& settings, FirmwareImageSource imageSource,
                           QWidget* parent = nullptr);
    ~frmDownloadNewFirmware() override;

    // Shows the dialog window-modal, starting on the password panel in the idle state.
    void showDialog();
    FirmwareDriver& download() { return *download_; }

    void cmdOK_Click();
    void cmdSendStartCommand_Click();
    void Command12_Click();

  signals:
    // A download ended: the image sent and "sent", "failed: <why>" or "cancelled".
    void firmwareSent(const QString& imagePath, const QString& outcome);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildPasswordPanel();
    void buildDownloadPanel();
    void buildServicePanel();
    void showPanel(QFrame* panel);
    void applyPortSetting();
    void unload();

    void setStatusText(const QString& text) override;
    void setStatusVisible(bool visible) override;
    void setStartCancelCaption(const QString& caption) override;
    void setDoneEnabled(bool enabled) override;
    void setReceiverLabel(const QString& text) override;
    void setBlockLabel(const QString& text) override;
    void announceImage(const QString& text) override;
    void inform(const QString& text) override;
    void reportError(const QString& text) override;
    void firmwareUpdated() override;
    void transferEnded(const QString& imagePath, const QString& outcome) override {
        emit firmwareSent(imagePath, outcome);
    }

    Dialogs& dialogs_;
    SettingsStore& settings_;
    std::unique_ptr<FirmwareDriver> download_;

    QFrame* framePassword = nullptr;
    QLineEdit* Text1 = nullptr;
    QFrame* frameSendStartCommand = nullptr;
    QPushButton* cmdSendStartCommand = nullptr;
    QLabel* lblRx = nullptr;
    QLabel* lblImage = nullptr;  // size and transfer time of the image being sent
    QLabel* lblPleaseWait = nullptr;
    QFrame* Frame1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
};

}  // namespace vantorix
