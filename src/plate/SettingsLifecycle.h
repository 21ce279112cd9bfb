// When the settings are read and written: once at start-up; the run defaults whenever the
// user confirms them and once more at shut-down.
#pragma once

#include "plate/ProgramState.h"
#include "kernel/Settings.h"

namespace vantorix {

// Start-up, in the frame's order: ComPort, Settings, BurstMode (into state.BurstMode), then the
// run defaults into state.DefaultOptions (priming 0); state.DataFileTitle becomes "Sample".
// Returns the stored communication settings. The port takes its number (or PortName) from
// them but always runs at the instrument's "2400,n,8,1", whatever line settings were stored.
CommunicationSettings loadStartupSettings(const SettingsStore& store, ProgramState& state);

// Stores state.DefaultOptions and flushes the store, so they outlast a crash or a power cut
// (the store replaces its file atomically).
void saveRunDefaults(SettingsStore& store, const ProgramState& state);

// Shut-down: stores state.DefaultOptions and flushes the store. The Communication keys are
// not written here; the communication settings dialog writes them when confirmed.
void saveShutdownSettings(SettingsStore& store, const ProgramState& state);

}  // namespace vantorix
