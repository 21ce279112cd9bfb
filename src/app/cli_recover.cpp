// vantorix-cli recover: lists the runs whose journal was left behind (a crash, a kill, a
// failed save) and writes one of them to a data file.
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliOutputFile.h"
#include "app/CliRecorder.h"
#include "files/DataFileNaming.h"
#include "measurement/RunJournal.h"
#include "measurement/RunRecovery.h"

namespace vantorix::cli {
namespace {

int listJournals() {
    QTextStream out(stdout);
    const QStringList journals = interruptedJournals(recoveryFolder(), true);
    if (journals.isEmpty()) out << "No interrupted runs." << Qt::endl;
    for (const QString& path : journals) {
        PlateDocument d;
        const JournalContents c = readJournal(path, d);
        if (!c.ok) {
            printError(c.error);
            continue;
        }
        const QString counts = readingsInDatasets(c.readings, c.datasets);
        out << QDir::toNativeSeparators(path) << '\t'
            << c.started.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << '\t'
            << counts.section(u' ', 3) << '\t' << counts.section(u' ', 0, 1) << Qt::endl;
    }
    return kExitOk;
}

int recoverCommand(QStringList args) {
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args == QStringList{QStringLiteral("--list")}) return listJournals();
    if (args.size() != 3 || args[1] != QLatin1String("--out") || args[0].startsWith(u'-')) {
        printError(QStringLiteral("recover takes --list, or JOURNAL --out FILE"));
        return kExitUsage;
    }
    if (const QString refused = refuseToReplace(withOvdExtension(args[2]), force);
        !refused.isEmpty()) {
        printError(refused);
        return kExitUsage;
    }
    const RecoveryResult r = recoverJournal(args[0], args[2]);
    if (!r.contents.note.isEmpty()) printError(r.contents.note);
    if (!r.written.ok) {
        printError(r.written.error);
        return kExitFailure;
    }
    if (!r.keptAs.isEmpty())
        printError(QStringLiteral("The journal is kept for inspection as %1")
                       .arg(QDir::toNativeSeparators(r.keptAs)));
    recordHistory([&](RunHistory& h) {
        const QString file = withOvdExtension(args[2]);
        h.fileWritten(file);
        h.record(history::events::runRecovered(QFileInfo(args[0]).absoluteFilePath(),
                                               QFileInfo(file).absoluteFilePath()));
    });
    QTextStream(stdout) << "Recovered "
                        << readingsInDatasets(r.contents.readings, r.contents.datasets) << " to "
                        << QDir::toNativeSeparators(withOvdExtension(args[2])) << Qt::endl;
    return kExitOk;
}

const CliCommand registration(
    "recover",
    "recover --list | recover JOURNAL --out FILE [--force]\n"
    "      lists interrupted runs, or writes one to a data file (--force: replace FILE)",
    recoverCommand);

}  // namespace
}  // namespace vantorix::cli
