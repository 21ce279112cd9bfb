// Any bytes as the settings file (the INI form the per-user store takes on Linux), read as the
// programs read it at start-up. Whatever the file holds, the options that come out must be
// ones the options dialog accepts.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "kernel/Settings.h"
#include "kernel/SettingsStore.h"
#include "options/OptionsValidation.h"

using namespace vantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Memory-backed where the system has it: the file is rewritten for every input.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                                       : QDir::tempPath() + "/fuzz-XXXXXX");
    const QString path = dir.filePath(QStringLiteral("vantorix.conf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QSettingsStore store(QSettingsStore::IniFile{path});
    loadCommunication(store);
    RunOptions o = loadOptions(store);
    o.RepeatMode = true;  // check the repeat fields too
    OptionsFields fields = fieldsFromOptions(o);
    if (o.Repeats < 2) fields.singleRun = true;
    if (!validateOptions(fields).ok()) __builtin_trap();  // the dialog could not be confirmed
    return 0;
}
