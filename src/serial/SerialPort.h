// The serial line as the program uses it: port number or device name, line settings,
// open/close, input mode and length, bytes waiting, read what is waiting, write.
// QtSerialPort drives a real port; tests and the simulator use in-memory lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "kernel/Subscription.h"

namespace vantorix {

enum class InputMode { Text, Binary };

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // COM port number (1-based). Used unless a device name is set.
    virtual void setPortNumber(int n) = 0;
    virtual int portNumber() const = 0;
    // A device named directly ("/dev/ttyUSB0", a pseudo-terminal, "COM7"); "" = use the number.
    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;
    // Line settings such as "2400,n,8,1"; applied when the port opens (and at once if open).
    virtual void setSettings(const QString& lineSettings) = 0;
    virtual QString settings() const = 0;

    // Opens the port; on failure returns false with a reason naming the device.
    virtual bool open(QString* error = nullptr) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void setInputMode(InputMode mode) = 0;
    // Bytes returned by one read(): 0 = everything waiting.
    virtual void setInputLen(int n) = 0;
    virtual int bytesWaiting() const = 0;
    virtual QByteArray read() = 0;
    // Hands the bytes to the line in one write; false when the port is closed or failed.
    virtual bool write(const QByteArray& bytes) = 0;

    // Listeners told when bytes have arrived, and when the port failed (it is closed by
    // then). Each listens until its token is dropped; the run and the firmware download
    // each hold their own, so neither can leave the other's behind.
    [[nodiscard]] Subscription onReady(std::function<void()> listener) {
        return ready_.add(std::move(listener));
    }
    [[nodiscard]] Subscription onError(std::function<void(const QString& reason)> listener) {
        return error_.add(std::move(listener));
    }

  protected:
    // A listener may destroy the port; nothing of it is touched after these return.
    void notifyReady() { ready_.notify(); }
    void notifyError(const QString& reason) { error_.notify(reason); }

  private:
    Subscribers<> ready_;
    Subscribers<const QString&> error_;
};

}  // namespace vantorix
