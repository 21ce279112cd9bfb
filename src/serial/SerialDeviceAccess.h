// Why a serial device cannot be used, said in words a lab user can act on. The packaging and
// the desktop program use the same texts, so the advice about device groups is written once.
#pragma once

#include <QSerialPort>
#include <QString>

namespace vantorix {

// The group that owns the device file ("dialout" on most systems); "" when it has none or
// the platform has no such thing.
QString deviceGroup(const QString& device);

// "You are not allowed to use /dev/ttyS0: it belongs to the group 'dialout'. ..." with the
// step that fixes it: join the group, then log in again (membership counts only from a new
// login).
QString devicePermissionAdvice(const QString& device);

// The reason an open of `device` failed, from Qt's error code and the system's text.
QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText);

// The reason an open port stopped working (read, write or resource error), as the end of
// "The connection to the instrument was lost: ...".
QString describeLinkFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText);

}  // namespace vantorix
