#include "app/CliGrid.h"

#include "app/CliRecorder.h"

#include <QTextStream>

#include "app/CliCommand.h"
#include "files/ParseDump.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"

namespace vantorix::cli {

void printGrid(const PlateDocument& d, int set, GridMode mode) {
    printGrid(d, d.header.setsText, d.declaredSets.value_or(0) > 0, set, mode);
}

void printGrid(const PlateDocument& document, const QString& setsText, bool declaresSets, int set,
               GridMode mode) {
    static const WellReading none;
    QTextStream out(stdout);
    out << "Sets: " << terminalText(setsText) << '\n' << "Set: " << set << '\n';
    for (int c = 1; c <= kPlateColumns; ++c) out << '\t' << c;
    out << '\n';
    for (int r = 1; r <= kPlateRows; ++r) {
        out << QChar(u'A' + r - 1);
        for (int c = 1; c <= kPlateColumns; ++c)
            out << '\t' << cellText(declaresSets ? document.reading(set, r, c) : none, mode);
        out << '\n';
    }
    out.flush();
}

std::optional<LoadResult> loadDocument(PlateDocument& d, const QString& file) {
    const DataFolders folders = programFolders(DataFolderStart::CurrentFolder);
    LoadResult loaded = LoadDataFile(d, folders.data, file);
    if (loaded.parsed) writeParseDump(folders.app, folders.data, file, loaded.entries);
    if (!loaded.ok) {
        printError(QString(loaded.message).replace(u'\n', u' '));
        return std::nullopt;
    }
    for (const QString& notice : loaded.notices) printError(notice);
    recordHistory([&](RunHistory& h) { h.fileOpened(resolveDataPath(folders.data, file)); });
    return loaded;
}

}  // namespace vantorix::cli
