// When the settings are read and written: once at start-up; the run defaults whenever the
// user confirms them and once more at shut-down.
#pragma once

#include "kernel/RunOptions.h"
#include "kernel/Settings.h"

namespace vantorix {

struct StartupSettings {
    CommunicationSettings communication;
    RunOptions runDefaults;
};

// Start-up, in the frame's order: ComPort, Settings, BurstMode, then the run defaults (priming
// 0). The port takes its number (or PortName) from the communication settings but always runs
// at the instrument's "2400,n,8,1", whatever line settings were stored.
StartupSettings loadStartupSettings(const SettingsStore& store);

// Stores the run defaults and flushes the store, so they outlast a crash or a power cut (the
// store replaces its file atomically).
void saveRunDefaults(SettingsStore& store, const RunOptions& runDefaults);

// Shut-down: stores the run defaults and flushes the store. The Communication keys are not
// written here; the communication settings dialog writes them when confirmed.
void saveShutdownSettings(SettingsStore& store, const RunOptions& runDefaults);

}  // namespace vantorix
