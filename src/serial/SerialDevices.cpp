#include "serial/SerialDevices.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace vantorix {

std::vector<SerialDevice> availableSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back({info.systemLocation(), info.description()});
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return a.systemLocation < b.systemLocation;
    });
    return devices;
}

}  // namespace vantorix
