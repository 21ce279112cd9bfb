// The communication settings dialog: chooses the instrument's port, as COM 1 to COM 4 or as a
// device of this machine (a listed serial port, or a typed path such as a pseudo-terminal).
// The line-settings groups and the burst-mode box exist, are filled and are read back, but are
// kept out of sight: the line settings pass through unchanged in value.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

#include "serial/CommunicationCommand.h"
#include "serial/SerialDevices.h"
#include "ui/GuiDialogNotices.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vantorix {

class SerialPort;

inline const QString kNoDeviceText = QStringLiteral(
    "Choose a serial device from the list or type its path, for example "
    "/dev/ttyUSB0.");

class frmCommunicationSettings : public QDialog {
    Q_OBJECT
  public:
    using DeviceLister = std::function<std::vector<SerialDevice>()>;

    // Created on first use: filled from the port (number, line settings, device) and the
    // frame's burst mode. Later showings present the controls as they were left.
    frmCommunicationSettings(const SerialPort& port, bool burstMode,
                             DialogNotices& notices = defaultDialogNotices(),
                             DeviceLister lister = availableSerialDevices,
                             QWidget* parent = nullptr);

    // Shows the dialog modally without nesting an event loop; `done` gets true for OK.
    // The device list is read afresh each time, so an adapter plugged in meanwhile appears.
    void ShowForm(std::function<void(bool confirmed)> done);
    QString tag() const { return tag_; }

    // The selected COM button (searching 4, 3, 2, 1), 0 if none; 1-4 selects, else ignored.
    qint16 comPort() const;
    void setComPort(qint16 n);
    // The composed line settings ("2400,N,8,1"); set selects what the string names.
    QString Settings() const;
    void setSettings(const QString& s);
    bool BurstMode() const;
    void setBurstMode(bool on);
    // The chosen device, "" when the port is addressed by its COM number. A listed adapter
    // is named by its stable path where it has one, and shown by its current device.
    QString PortName() const;
    void setPortName(const QString& name);

    CommunicationChoice choice() const;

  protected:
    void done(int result) override;

  private:
    void buildControls();
    QGroupBox* buildPortFrame();
    void buildHiddenFrames();
    QGroupBox* buildLineGroup(const char* name, const QString& caption, const char* buttonName,
                              const char* const* captions, int count,
                              std::vector<QRadioButton*>& buttons);
    void layOutControls(QGroupBox* portFrame);
    void listDevices();
    void showDeviceDescription();
    const SerialDevice* listedDevice(const QString& path) const;
    QString rememberedName(const QString& path) const;
    QString shownName(const QString& path) const;
    void useDevice(bool on);
    void cmdOK_Click();
    QString deviceProblem() const;

    DialogNotices& notices_;
    DeviceLister lister_;
    std::vector<SerialDevice> devices_;
    std::function<void(bool)> pending_;
    QString tag_;

    std::array<QRadioButton*, 5> optComPort{};  // index 1-4
    QCheckBox* chkPortName = nullptr;
    QComboBox* cboPortName = nullptr;
    QLabel* lblPortDescription = nullptr;
    std::vector<QRadioButton*> optBaudRate, optParity, optWordLength, optStopBits;
    QGroupBox* fraAdvanced = nullptr;
    QCheckBox* chkBurstMode = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

// Applies a confirmed dialog to the port and the frame's burst mode and stores the
// Communication keys; the FIFO setting is written only on platforms that want it.
void applyCommunicationDialog(const frmCommunicationSettings& dialog, SerialPort& port,
                              bool& burstMode, SettingsStore& store);

}  // namespace vantorix
