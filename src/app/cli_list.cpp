// vantorix-cli list: the file browser's listing of a folder, one line per file.
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "files/FolderScan.h"
#include "kernel/Text.h"

namespace vantorix::cli {

namespace {

const char* const kListUsage =
    "list [FOLDER]  list the data files of FOLDER (default: the current folder) oldest first, "
    "one tab-separated line each: file name, test, operator, plate no., sets, date and time";

// A tab inside a header text would break the one-line-per-file layout; other control
// characters are shown escaped, so they neither forge a line nor reach the terminal.
QString field(const QString& text) {
    return terminalText(QString(text).replace(u'\t', u' '));
}

int runList(const QStringList& args) {
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(u'-'))) {
        printError(args.size() > 1 ? QStringLiteral("list: only one FOLDER may be given")
                                   : QStringLiteral("list: unknown option '%1'").arg(args[0]));
        QTextStream(stderr) << "usage: vantorix-cli " << kListUsage << Qt::endl;
        return kExitUsage;
    }
    const QString folder = args.isEmpty() ? QDir::currentPath() : args[0];
    if (!QFileInfo(folder).isDir()) {
        printError(QStringLiteral("list: %1 is not a folder").arg(folder));
        return kExitFailure;
    }
    QTextStream out(stdout);
    for (const ListedFile& f : scanFolder(folder)) {
        out << field(f.fileName) << '\t' << field(f.test) << '\t' << field(f.operatorName) << '\t'
            << field(f.plateNo) << '\t' << field(f.sets) << '\t' << field(f.dateTime) << '\n';
    }
    out.flush();
    return kExitOk;
}

const CliCommand listCommand("list", kListUsage, runList);

}  // namespace

}  // namespace vantorix::cli
