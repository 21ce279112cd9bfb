#include "serial/SerialDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace vantorix {

std::vector<SerialDevice> availableSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back({info.systemLocation(), info.description(), info.serialNumber(), {}});
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return a.systemLocation < b.systemLocation;
    });
    addStablePaths(devices, kSerialByIdFolder);
    return devices;
}

void addStablePaths(std::vector<SerialDevice>& devices, const QString& byIdFolder) {
    const QDir folder(byIdFolder);
    const QStringList links = folder.entryList(QDir::System | QDir::Files, QDir::Name);
    for (SerialDevice& device : devices) {
        const QString target = QFileInfo(device.systemLocation).canonicalFilePath();
        if (target.isEmpty()) continue;
        for (const QString& link : links) {
            const QString path = folder.filePath(link);
            if (QFileInfo(path).canonicalFilePath() != target) continue;
            device.stablePath = path;
            break;
        }
    }
}

}  // namespace vantorix
