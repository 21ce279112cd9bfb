// The program's serial line on a real port through QSerialPort. COM n is the platform's n-th
// port ("COMn" on Windows, "/dev/ttyS{n-1}" elsewhere); a device name, when set, wins.
#pragma once

#include <QSerialPort>
#include <memory>

#include "kernel/InstrumentLine.h"
#include "serial/SerialPort.h"

namespace vantorix {

class QtSerialPort : public SerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;

    // The device COM n stands for on this platform.
    static QString deviceForPortNumber(int n);

    void setPortNumber(int n) override { portNumber_ = n; }
    int portNumber() const override { return portNumber_; }
    void setPortName(const QString& name) override { portName_ = name; }
    QString portName() const override { return portName_; }
    // The string is kept as given and reported back unchanged; the port runs at what it says.
    void setSettings(const QString& lineSettings) override;
    QString settings() const override { return settings_; }

    bool open(QString* error = nullptr) override;
    void close() override;
    bool isOpen() const override;

    // Both modes hand the bytes over unchanged. At most 64 KiB wait unread in the port.
    void setInputMode(InputMode mode) override { inputMode_ = mode; }
    void setInputLen(int n) override { inputLen_ = n < 0 ? 0 : n; }
    int bytesWaiting() const override;
    QByteArray read() override;
    bool write(const QByteArray& bytes) override;

    // The device open() uses.
    QString device() const;

  private:
    void applySettings();
    void onPortError(QSerialPort::SerialPortError error);

    std::unique_ptr<QSerialPort> port_;
    int portNumber_ = 1;
    QString portName_;
    QString settings_ = kInstrumentLineSettings;
    InputMode inputMode_ = InputMode::Text;
    int inputLen_ = 0;
};

}  // namespace vantorix
