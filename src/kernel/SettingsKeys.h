// Every persisted setting declared once: sections, keys, defaults, and the orders in which the
// run defaults are read at start-up and written at shut-down. Loading and saving both work from
// these tables, so a key can never be spelled two ways.
#pragma once

#include <QString>
#include <array>

#include "kernel/InstrumentLine.h"
#include "kernel/RunOptions.h"

namespace vantorix::settings {

// Section "Communication": the instrument line.
inline const QString kCommunication = QStringLiteral("Communication");
inline const QString kComPort = QStringLiteral("ComPort");
inline const QString kLineSettings = QStringLiteral("Settings");
inline const QString kBurstMode = QStringLiteral("BurstMode");
// A device name chosen by the user ("/dev/ttyUSB0"); empty means "use ComPort".
inline const QString kPortName = QStringLiteral("PortName");

constexpr int kDefaultComPort = 1;
inline const QString kDefaultLineSettings = kInstrumentLineSettings;
constexpr bool kDefaultBurstMode = false;
inline const QString kDefaultPortName;

// Section "Options": the run defaults. Their default values are those of a default-constructed
// RunOptions. Prime1 and Prime2 are deliberately absent: priming is never carried over from
// one program start to the next.
inline const QString kOptions = QStringLiteral("Options");

// "Well" + well number: Well0 = A1, Well11 = A12, Well95 = H12.
inline QString wellKey(int wellIndex) {
    return QStringLiteral("Well") + QString::number(wellIndex);
}

// One numeric or Boolean field of RunOptions and its key; exactly one member pointer is set.
// A stored number outside min...max (the options dialog's range) takes the default, so a
// hand-edited store can never hold the dialog in a state it cannot confirm.
struct OptionKey {
    const char* key;
    qint16 RunOptions::*number;
    bool RunOptions::*flag;
    int min = 0;
    int max = 0;
};

inline constexpr OptionKey kPresamples{"Presamples", &RunOptions::Presamples, nullptr, 0, 1};
inline constexpr OptionKey kPostsamples{"Postsamples", &RunOptions::Postsamples, nullptr, 0, 25};
inline constexpr OptionKey kPump1Volume{"Pump1Volume", &RunOptions::Pump1Volume, nullptr, 0, 250};
inline constexpr OptionKey kPump2Volume{"Pump2Volume", &RunOptions::Pump2Volume, nullptr, 0, 250};
inline constexpr OptionKey kDwell{"Dwell", &RunOptions::Dwell, nullptr, 0, 500};
inline constexpr OptionKey kPostInjectDelay{"PostInjectDelay", &RunOptions::PostInjectDelay,
                                            nullptr, 0, 5000};
inline constexpr OptionKey kRepeatMode{"RepeatMode", nullptr, &RunOptions::RepeatMode};
inline constexpr OptionKey kRepeats{"Repeats", &RunOptions::Repeats, nullptr, 1, 255};
inline constexpr OptionKey kDelay{"Delay", &RunOptions::Delay, nullptr, 0, 999};
inline constexpr OptionKey kReaction{"Reaction", &RunOptions::Reaction, nullptr, 1, 2};
inline constexpr OptionKey kSensitive{"Sensitive", &RunOptions::Sensitive, nullptr, 0, 1};
// The two pump volumes together; a stored pair above it takes both defaults.
constexpr int kMaxStoredPumpTotal = 250;

// The fields after the 96 wells, in the order start-up reads them...
inline constexpr std::array<OptionKey, 11> kOptionsReadOrder{
    kPresamples, kPostsamples, kPump1Volume, kPump2Volume, kDwell,    kPostInjectDelay,
    kRepeatMode, kRepeats,     kDelay,       kReaction,    kSensitive};
// ...and in the order shut-down writes them (PostInjectDelay moves ahead of the pumps).
inline constexpr std::array<OptionKey, 11> kOptionsWriteOrder{
    kPresamples, kPostsamples, kPostInjectDelay, kPump1Volume, kPump2Volume, kDwell,
    kRepeatMode, kRepeats,     kDelay,           kReaction,    kSensitive};

// Section "History": where the run history and audit trail live. An empty or missing Database
// means the per-user default; a lab may point it at a shared folder.
inline const QString kHistory = QStringLiteral("History");
inline const QString kHistoryDatabase = QStringLiteral("Database");

}  // namespace vantorix::settings
