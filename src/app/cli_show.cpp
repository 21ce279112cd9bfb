// vantorix-cli show: one set of a data file as the results grid shows it.
#include <QDir>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliSetOption.h"
#include "files/OvdLoader.h"
#include "plate/PlateDocument.h"
#include "results/CellText.h"
#include "results/SetStatistics.h"

namespace vantorix::cli {

namespace {

const char* const kShowUsage =
    "show [--set N] [--times] [--stats] FILE  print set N (default 1) of FILE as the results grid\n"
    "    shows it; --stats: one line of figures per set instead";

struct ShowArgs {
    int set = 1;
    GridMode mode = GridMode::Readings;
    bool stats = false;
    QString file;
};

// Empty text when the arguments are good, else what is wrong with them.
QString parseShowArgs(const QStringList& args, ShowArgs& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--times") {
            out.mode = GridMode::Times;
        } else if (arg == u"--stats") {
            out.stats = true;
        } else if (arg == u"--set") {
            if (const QString e = readSetOption(QStringLiteral("show"), args, i, out.set);
                !e.isEmpty())
                return e;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("show: unknown option '%1'").arg(arg);
        } else if (!out.file.isEmpty()) {
            return QStringLiteral("show: only one FILE may be given");
        } else {
            out.file = arg;
        }
    }
    return out.file.isEmpty() ? QStringLiteral("show: FILE is missing") : QString();
}

// "Set N: n=… sat=… min=… max=… mean=… sd=… cv=…%" for each set.
void printStatistics(const PlateDocument& document, int sets) {
    QTextStream out(stdout);
    for (int set = 1; set <= sets; ++set)
        out << "Set " << set << ": " << statisticsText(setStatistics(document, set)) << '\n';
    out.flush();
}

int runShow(const QStringList& args) {
    ShowArgs a;
    const QString problem = parseShowArgs(args, a);
    if (!problem.isEmpty()) return usageError(problem, kShowUsage);

    PlateDocument d;
    const std::optional<LoadResult> document = loadDocument(d, a.file);
    if (!document) return kExitFailure;
    const LoadResult& loaded = *document;
    if (a.stats) {
        printStatistics(d, loaded.setsLoaded);
        return kExitOk;
    }
    // A document without sets still shows set 1, all "X"; beyond that only its own sets.
    if (a.set > std::max(loaded.setsLoaded, 1)) {
        printError(QStringLiteral("%1 holds %2 sets; there is no set %3")
                       .arg(a.file)
                       .arg(loaded.setsLoaded)
                       .arg(a.set));
        return kExitFailure;
    }
    printGrid(d, a.set, a.mode);
    return kExitOk;
}

const CliCommand showCommand("show", kShowUsage, runShow);

}  // namespace

}  // namespace vantorix::cli
