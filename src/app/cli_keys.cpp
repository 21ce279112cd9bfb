// vantorix-cli keys: the key-store entries of a data file, as the parser sees them.
#include <QDir>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "files/OvdParser.h"
#include "files/ParseDump.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"

namespace vantorix::cli {

namespace {

const char* const kKeysUsage = "keys [--header-only] FILE  print the key-store entries of FILE";

int runKeys(const QStringList& args) {
    bool headerOnly = false;
    QString file;
    for (const QString& arg : args) {
        if (arg == u"--header-only")
            headerOnly = true;
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return usageError(QStringLiteral("keys: unknown option '%1'").arg(arg), kKeysUsage);
        else if (!file.isEmpty())
            return usageError(QStringLiteral("keys: only one FILE may be given"), kKeysUsage);
        else
            file = arg;
    }
    if (file.isEmpty()) return usageError(QStringLiteral("keys: FILE is missing"), kKeysUsage);

    const DataFolders folders = programFolders(DataFolderStart::CurrentFolder);
    QString reason;
    std::vector<QString> entries;
    if (!readDataFileEntries(resolveDataPath(folders.data, file), headerOnly, entries, &reason)) {
        printError(file + QStringLiteral(": ") + reason);
        return kExitFailure;
    }
    writeParseDump(folders.app, folders.data, file, entries);
    QTextStream out(stdout);
    // A line break or an escape sequence in a value must not forge an entry or reach the terminal.
    for (const QString& entry : entries) out << terminalText(entry) << '\n';
    out.flush();
    return kExitOk;
}

const CliCommand keysCommand("keys", kKeysUsage, runKeys);

}  // namespace

}  // namespace vantorix::cli
