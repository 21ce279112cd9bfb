#include "app/CliGrid.h"

#include <QTextStream>

#include "app/CliCommand.h"
#include "files/ParseDump.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"

namespace vantorix::cli {

void printGrid(const Readings& readings, const QString& setsValue, int set, GridMode mode) {
    QTextStream out(stdout);
    out << "Sets: " << terminalText(setsValue) << '\n' << "Set: " << set << '\n';
    for (int c = 1; c <= kPlateColumns; ++c) out << '\t' << c;
    out << '\n';
    for (int r = 1; r <= kPlateRows; ++r) {
        out << QChar(u'A' + r - 1);
        for (int c = 1; c <= kPlateColumns; ++c)
            out << '\t' << cellText(readings, set, r, c, mode, setsValue);
        out << '\n';
    }
    out.flush();
}

std::optional<LoadResult> loadDocument(ProgramState& s, const QString& file) {
    const DataFolders folders = programFolders(DataFolderStart::CurrentFolder);
    LoadResult loaded = LoadDataFile(s, folders.data, file);
    if (loaded.parsed) writeParseDump(folders.app, folders.data, file, loaded.entries);
    if (!loaded.ok) {
        printError(QString(loaded.message).replace(u'\n', u' '));
        return std::nullopt;
    }
    for (const QString& notice : loaded.notices) printError(notice);
    return loaded;
}

}  // namespace vantorix::cli
