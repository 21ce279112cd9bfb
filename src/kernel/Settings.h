// Loading and saving the persisted settings: the instrument line ("Communication") and the run
// defaults ("Options"). Keys and defaults are in SettingsKeys.h.
#pragma once

#include <QString>

#include "kernel/RunOptions.h"
#include "kernel/SettingsKeys.h"
#include "kernel/SettingsStore.h"

namespace vantorix {

struct CommunicationSettings {
    int ComPort = settings::kDefaultComPort;
    QString Settings = settings::kDefaultLineSettings;
    bool BurstMode = settings::kDefaultBurstMode;
    QString PortName = settings::kDefaultPortName;
    bool operator==(const CommunicationSettings&) const = default;
};

// Reads ComPort, Settings, BurstMode, PortName in that order.
CommunicationSettings loadCommunication(const SettingsStore& store);
// Writes ComPort, Settings, BurstMode, PortName in that order.
void saveCommunication(SettingsStore& store, const CommunicationSettings& comm);

// Reads the 96 well flags row by row, then the fields in settings::kOptionsReadOrder. Prime1
// and Prime2 are always 0: priming is decided afresh in every session. A value that cannot be
// converted or lies outside the dialog's range takes the key's default; pump volumes whose
// total exceeds 250 both take theirs.
RunOptions loadOptions(const SettingsStore& store);
// Writes the 96 well flags row by row, then the fields in settings::kOptionsWriteOrder.
void saveOptions(SettingsStore& store, const RunOptions& options);

// Conversions of stored text. A value that is missing, not a number, not whole or outside the
// 16-bit range gives the fallback.
qint16 storedInt16(const QString& text, qint16 fallback);
// "True"/"False" in any case, or a number (nonzero = true); anything else gives the fallback.
bool storedBool(const QString& text, bool fallback);
inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace vantorix
