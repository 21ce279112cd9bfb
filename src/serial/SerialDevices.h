// The serial devices present on this machine, as the communication settings offer them.
// Pseudo-terminals are not among them: they are typed in by path.
#pragma once

#include <QString>
#include <vector>

namespace vantorix {

struct SerialDevice {
    QString systemLocation;  // what the port opens: "/dev/ttyUSB0", "COM7"
    QString description;     // "USB-Serial Controller", or "" when the platform names none
    bool operator==(const SerialDevice&) const = default;
};

// Ordered by location.
std::vector<SerialDevice> availableSerialDevices();

}  // namespace vantorix
