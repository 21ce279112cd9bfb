// The serial devices present on this machine, as the communication settings offer them.
// Pseudo-terminals are not among them: they are typed in by path.
#pragma once

#include <QString>
#include <vector>

namespace vantorix {

struct SerialDevice {
    QString systemLocation;  // what the port opens: "/dev/ttyUSB0", "COM7"
    QString description;     // "USB-Serial Controller", or "" when the platform names none
    QString serialNumber;    // the adapter's own serial number, "" when it reports none
    // A name that stays the same when the adapter is plugged in again (and comes back as
    // another ttyUSB number): its link in /dev/serial/by-id, "" when there is none.
    QString stablePath;
    bool operator==(const SerialDevice&) const = default;
};

inline const QString kSerialByIdFolder = QStringLiteral("/dev/serial/by-id");

// Ordered by location, each with its stable path where kSerialByIdFolder has one.
std::vector<SerialDevice> availableSerialDevices();

// Gives each device the link in `byIdFolder` that points at it, if any.
void addStablePaths(std::vector<SerialDevice>& devices, const QString& byIdFolder);

}  // namespace vantorix
