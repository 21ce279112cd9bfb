#include "kernel/SettingsLifecycle.h"

namespace vantorix {

StartupSettings loadStartupSettings(const SettingsStore& store) {
    StartupSettings s;
    s.communication = loadCommunication(store);
    s.runDefaults = loadOptions(store);
    return s;
}

void saveRunDefaults(SettingsStore& store, const RunOptions& runDefaults) {
    saveOptions(store, runDefaults);
    store.sync();
}

void saveShutdownSettings(SettingsStore& store, const RunOptions& runDefaults) {
    saveRunDefaults(store, runDefaults);
}

}  // namespace vantorix
