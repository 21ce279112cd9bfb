#include "serial/QtSerialPort.h"

#include <QElapsedTimer>

#include "serial/LineSettings.h"
#include "serial/SerialDeviceAccess.h"

namespace vantorix {

namespace {
// A closing port first hands its pending output ("S", "Z") to the line, waiting this long
// at most for a line that does not take it.
constexpr qint64 kDrainLimit_ms = 2000;
// What the port holds unread at most; the rest waits in the driver (a flood from a device that
// is no instrument must not fill memory). Far more than the instrument sends between reads.
constexpr qint64 kReadBufferBytes = 64 * 1024;
}  // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {
    port_->setReadBufferSize(kReadBufferBytes);
    QObject::connect(port_.get(), &QSerialPort::readyRead, [this] { notifyReady(); });
    QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError e) { onPortError(e); });
}

QtSerialPort::~QtSerialPort() {
    // No handler may run while the port is being torn down.
    port_->disconnect();
    close();
}

QString QtSerialPort::deviceForPortNumber(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QString QtSerialPort::device() const {
    return portName_.isEmpty() ? deviceForPortNumber(portNumber_) : portName_;
}

void QtSerialPort::setSettings(const QString& lineSettings) {
    settings_ = lineSettings;
    if (port_->isOpen()) applySettings();
}

void QtSerialPort::applySettings() {
    const LineSettings s = LineSettings::fromString(settings_);
    port_->setBaudRate(s.baudRate());
    port_->setParity(s.parity());
    port_->setDataBits(s.dataBits());
    port_->setStopBits(s.stopBits());
    port_->setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::open(QString* error) {
    if (port_->isOpen()) return true;
    port_->setPortName(device());
    if (!port_->open(QIODevice::ReadWrite)) {
        if (error) *error = describeOpenFailure(device(), port_->error(), port_->errorString());
        port_->clearError();
        return false;
    }
    applySettings();
    return true;
}

void QtSerialPort::close() {
    if (!port_->isOpen()) return;
    QElapsedTimer waited;
    waited.start();
    while (port_->bytesToWrite() > 0 && waited.elapsed() < kDrainLimit_ms)
        if (!port_->waitForBytesWritten(int(kDrainLimit_ms - waited.elapsed()))) break;
    port_->close();
}

bool QtSerialPort::isOpen() const {
    return port_->isOpen();
}

int QtSerialPort::bytesWaiting() const {
    return port_->isOpen() ? static_cast<int>(port_->bytesAvailable()) : 0;
}

QByteArray QtSerialPort::read() {
    if (!port_->isOpen()) return {};
    return inputLen_ == 0 ? port_->readAll() : port_->read(inputLen_);
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!port_->isOpen()) return false;
    return port_->write(bytes) == bytes.size();
}

void QtSerialPort::onPortError(QSerialPort::SerialPortError e) {
    // A pulled adapter or a closed far end keeps raising the same error for as long as the
    // port stays open: close it now so the failure is reported once.
    if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError &&
        e != QSerialPort::WriteError)
        return;
    if (!port_->isOpen()) return;
    const QString reason = describeLinkFailure(device(), e, port_->errorString());
    port_->close();
    port_->clearError();
    notifyError(reason);
}

}  // namespace vantorix
