#include "serial/CommunicationCommand.h"

#include <QOperatingSystemVersion>

#include "serial/SerialPort.h"

namespace vantorix {

PlatformVersion PlatformVersion::current() {
    const QOperatingSystemVersion v = QOperatingSystemVersion::current();
    return {v.majorVersion(), v.minorVersion(), v.type() == QOperatingSystemVersion::Windows};
}

bool platformWantsComFifoSetting(PlatformVersion v) {
    return v.windows && (v.major < 3 || (v.major == 3 && v.minor <= 11));
}

QString comFifoKey(int portNumber) {
    return QStringLiteral("COM") + QString::number(portNumber) + QStringLiteral("FIFO");
}

void DisableComFifo(int portNumber, PlatformVersion version,
                    const std::function<SettingsStore&()>& systemStore) {
    if (!platformWantsComFifoSetting(version)) return;
    systemStore().write(kFifoSection, comFifoKey(portNumber), QStringLiteral("0"));
}

void applyCommunicationChoice(const CommunicationChoice& choice, SerialPort& port, bool& burstMode,
                              SettingsStore& store,
                              const std::function<void(int)>& portNumberChanged) {
    // The port's identity changes only while it is closed.
    if (port.isOpen()) port.close();
    if (port.settings() != choice.Settings) port.setSettings(choice.Settings);
    if (port.portName() != choice.PortName) port.setPortName(choice.PortName);
    if (port.portNumber() != choice.comPort) {
        port.setPortNumber(choice.comPort);
        if (portNumberChanged) portNumberChanged(choice.comPort);
    }
    if (burstMode != choice.BurstMode) burstMode = choice.BurstMode;
    CommunicationSettings stored;
    stored.ComPort = port.portNumber();
    stored.Settings = port.settings();
    stored.BurstMode = burstMode;
    stored.PortName = port.portName();
    saveCommunication(store, stored);
    store.sync();
}

}  // namespace vantorix
