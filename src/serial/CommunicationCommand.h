// What confirming the communication settings does: close the port, apply the chosen line
// settings, port number and device, carry the burst-mode flag, and store the Communication
// keys. Also the FIFO setting old platforms needed when the port number changed.
#pragma once

#include <QString>
#include <functional>

#include "kernel/Settings.h"

namespace vantorix {

class SerialPort;

// The platform's version; only very old Windows versions keep a FIFO setting per COM port.
struct PlatformVersion {
    int major = 0;
    int minor = 0;
    // Other platforms report no version at all (0 or -1), which must not read as "old".
    bool windows = true;
    static PlatformVersion current();
};

// True on Windows up to version 3.11.
bool platformWantsComFifoSetting(PlatformVersion version);
// "COM2FIFO" for port 2.
QString comFifoKey(int portNumber);
inline const QString kFifoApplication = QStringLiteral("System");
inline const QString kFifoSection = QStringLiteral("386Enh");

// Stores "0" under System / 386Enh / COMnFIFO on a platform that wants it; does nothing (and
// never opens `systemStore`) on any later one.
void DisableComFifo(int portNumber, PlatformVersion version,
                    const std::function<SettingsStore&()>& systemStore);

// The dialog's answer. PortName "" means the port is addressed by its number.
struct CommunicationChoice {
    int comPort = 1;
    QString Settings;
    bool BurstMode = false;
    QString PortName;
};

// Applies a confirmed choice: closes the port if open (it stays closed; the next run opens
// it), takes over the line settings, the device name and the port number where they differ
// (calling `portNumberChanged` for a new number), takes over the burst mode, and writes
// ComPort, Settings, BurstMode and PortName as the port then reports them.
void applyCommunicationChoice(const CommunicationChoice& choice, SerialPort& port, bool& burstMode,
                              SettingsStore& store,
                              const std::function<void(int newPortNumber)>& portNumberChanged);

}  // namespace vantorix
