#include "kernel/Settings.h"

#include <cmath>
#include <limits>

#include "kernel/Text.h"

namespace vantorix {

using namespace settings;

qint16 storedInt16(const QString& text, qint16 fallback) {
    if (!isNumeric(text)) return fallback;
    const double v = leadingNumber(text);
    if (v != std::floor(v)) return fallback;
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return fallback;
    return static_cast<qint16>(v);
}

bool storedBool(const QString& text, bool fallback) {
    const QString t = text.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0) return true;
    if (t.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    if (isNumeric(t)) return leadingNumber(t) != 0;
    return fallback;
}

namespace {

// A missing key reads as an empty text, which no conversion accepts, so it gives the default.
QString readText(const SettingsStore& store, const QString& section, const QString& key) {
    return store.read(section, key, QString());
}

}  // namespace

CommunicationSettings loadCommunication(const SettingsStore& store) {
    CommunicationSettings c;
    const qint16 port = storedInt16(readText(store, kCommunication, kComPort), kDefaultComPort);
    // Port numbers start at 1; 0 or below can only come from a damaged store.
    c.ComPort = port >= 1 ? port : kDefaultComPort;
    c.Settings = store.read(kCommunication, kLineSettings, kDefaultLineSettings).trimmed();
    if (c.Settings.isEmpty()) c.Settings = kDefaultLineSettings;
    c.BurstMode = storedBool(readText(store, kCommunication, kBurstMode), kDefaultBurstMode);
    c.PortName = store.read(kCommunication, kPortName, kDefaultPortName).trimmed();
    return c;
}

void saveCommunication(SettingsStore& store, const CommunicationSettings& comm) {
    store.write(kCommunication, kComPort, QString::number(comm.ComPort));
    store.write(kCommunication, kLineSettings, comm.Settings);
    store.write(kCommunication, kBurstMode, boolText(comm.BurstMode));
    store.write(kCommunication, kPortName, comm.PortName);
}

RunOptions loadOptions(const SettingsStore& store) {
    const RunOptions defaults;
    RunOptions o;
    for (int row = 0; row < kPlateRows; ++row) {
        for (int column = 0; column < kPlateColumns; ++column) {
            const QString text = readText(store, kOptions, wellKey(WellIndex(row, column)));
            o.SelectedWells[row][column] = storedBool(text, defaults.SelectedWells[row][column]);
        }
    }
    for (const OptionKey& k : kOptionsReadOrder) {
        const QString text = readText(store, kOptions, QString::fromLatin1(k.key));
        if (k.number) {
            const qint16 v = storedInt16(text, defaults.*k.number);
            o.*k.number = v >= k.min && v <= k.max ? v : defaults.*k.number;
        } else {
            o.*k.flag = storedBool(text, defaults.*k.flag);
        }
    }
    if (o.Pump1Volume + o.Pump2Volume > kMaxStoredPumpTotal) {
        o.Pump1Volume = defaults.Pump1Volume;
        o.Pump2Volume = defaults.Pump2Volume;
    }
    o.Prime1 = 0;
    o.Prime2 = 0;
    return o;
}

void saveOptions(SettingsStore& store, const RunOptions& options) {
    for (int row = 0; row < kPlateRows; ++row)
        for (int column = 0; column < kPlateColumns; ++column)
            store.write(kOptions, wellKey(WellIndex(row, column)),
                        boolText(options.SelectedWells[row][column]));
    for (const OptionKey& k : kOptionsWriteOrder) {
        const QString text =
            k.number ? QString::number(options.*k.number) : boolText(options.*k.flag);
        store.write(kOptions, QString::fromLatin1(k.key), text);
    }
}

}  // namespace vantorix
