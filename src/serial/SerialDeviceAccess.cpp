#include "serial/SerialDeviceAccess.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantorix {

namespace {

enum class DeviceKind { Missing, CharacterDevice, Other };

DeviceKind kindOf(const QString& device) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0) return DeviceKind::Missing;
    return S_ISCHR(st.st_mode) ? DeviceKind::CharacterDevice : DeviceKind::Other;
#else
    Q_UNUSED(device);
    return DeviceKind::CharacterDevice;
#endif
}

// True when this user may read and write the device: a permission error then comes from
// another program holding the port's lock.
bool mayUse(const QString& device) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(device);
    return false;
#endif
}

}  // namespace

QString deviceGroup(const QString& device) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0) return {};
    const struct group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
#else
    Q_UNUSED(device);
    return {};
#endif
}

QString devicePermissionAdvice(const QString& device) {
    const QString group = deviceGroup(device);
    if (group.isEmpty())
        return QStringLiteral(
                   "You are not allowed to use %1. Ask your administrator for access "
                   "to the serial port.")
            .arg(device);
    return QStringLiteral(
               "You are not allowed to use %1: it belongs to the group '%2'. Ask "
               "your administrator to add you to that group (sudo usermod -aG %2 "
               "YOUR-NAME), then log out and log in again: the new membership "
               "counts only from a new login.")
        .arg(device, group);
}

QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText) {
    switch (kindOf(device)) {
        case DeviceKind::Missing:
            return QStringLiteral(
                       "There is no serial port %1. Is the instrument's cable or "
                       "adapter plugged in, and is the port chosen under Settings > "
                       "Communications the right one?")
                .arg(device);
        case DeviceKind::Other:
            return QStringLiteral("%1 is not a serial port.").arg(device);
        case DeviceKind::CharacterDevice:
            break;
    }
    if (error == QSerialPort::PermissionError) {
        if (mayUse(device))
            return QStringLiteral(
                       "The serial port %1 is in use by another program. Close that "
                       "program (or the other window of this one) and try again.")
                .arg(device);
        return devicePermissionAdvice(device);
    }
    return QStringLiteral("The serial port %1 could not be opened (%2).").arg(device, systemText);
}

QString describeLinkFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText) {
    if (error == QSerialPort::ResourceError || kindOf(device) == DeviceKind::Missing)
        return QStringLiteral(
                   "%1 went away (the cable or adapter was unplugged, or the "
                   "instrument was switched off)")
            .arg(device);
    return QStringLiteral("%1 stopped working (%2)").arg(device, systemText);
}

}  // namespace vantorix
