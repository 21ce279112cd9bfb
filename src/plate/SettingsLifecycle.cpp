#include "plate/SettingsLifecycle.h"

namespace vantorix {

CommunicationSettings loadStartupSettings(const SettingsStore& store, ProgramState& state) {
    const CommunicationSettings comm = loadCommunication(store);
    state.BurstMode = comm.BurstMode;
    state.DefaultOptions = loadOptions(store);
    state.DataFileTitle = QStringLiteral("Sample");
    return comm;
}

void saveRunDefaults(SettingsStore& store, const ProgramState& state) {
    saveOptions(store, state.DefaultOptions);
    store.sync();
}

void saveShutdownSettings(SettingsStore& store, const ProgramState& state) {
    saveRunDefaults(store, state);
}

}  // namespace vantorix
