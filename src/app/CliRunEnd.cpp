#include "app/CliRunEnd.h"

#include <QDir>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "files/FallbackSave.h"

namespace vantorix::cli {

namespace {

QString counted(int n, const char* one, const char* many) {
    return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The last resort: readings that nothing else holds are printed, sets from..to, as `show`
// prints a set, so the user can copy them before the terminal is closed.
void printAsLastResort(const RunSequence& run, const PlateDocument& readings, int from, int to,
                       const QString& what, int count) {
    QString journal;
    if (!run.journalPath().isEmpty())
        journal = QStringLiteral(" (the journal %1 holds only some of them)")
                      .arg(native(run.journalPath()));
    printError(QStringLiteral("%1 %2 kept in no file and no journal%3; %4 on standard "
                              "output. Copy %5 now: nothing else holds %5.")
                   .arg(what, count == 1 ? QStringLiteral("is") : QStringLiteral("are"), journal,
                        count == 1 ? QStringLiteral("it follows") : QStringLiteral("they follow"),
                        count == 1 ? QStringLiteral("it") : QStringLiteral("them")));
    for (int set = from; set <= to; ++set)
        printGrid(readings, QString::number(to - from + 1), true, set, GridMode::Readings);
}

}  // namespace

void tellUnreadWells(const PlateDocument& readings, const WellMatrix& selected, int firstSet,
                     int lastSet) {
    for (int set = firstSet; set <= lastSet; ++set) {
        int wells = 0, unread = 0;
        for (int r = 0; r < kPlateRows; ++r)
            for (int c = 0; c < kPlateColumns; ++c) {
                if (!selected[r][c]) continue;
                ++wells;
                if (!readings.reading(set, r + 1, c + 1).raw) ++unread;
            }
        if (unread > 0)
            printError(QStringLiteral("dataset %1: %2 of the %3 selected wells got no reading")
                           .arg(set)
                           .arg(unread)
                           .arg(wells));
    }
}

void tellWhatWasSaved(const DocumentSession& session, bool partialKept) {
    const int sets = session.lastSet() - session.firstSet() + 1;
    if (!session.hasData() || !session.saved() || sets <= 0) {
        printError(QStringLiteral("No dataset was completed; nothing was saved."));
        return;
    }
    const int completed = sets - (partialKept ? 1 : 0);
    QStringList parts;
    if (completed > 0) parts << counted(completed, "completed dataset", "completed datasets");
    if (partialKept)
        parts << QStringLiteral("the readings so far of unfinished dataset %1")
                     .arg(session.lastSet());
    const bool one = completed == 1 && !partialKept;
    QString text = parts.join(QStringLiteral(" and "));
    text[0] = text[0].toUpper();
    printError(QStringLiteral("%1 %2 saved to %3")
                   .arg(text, one ? QStringLiteral("was") : QStringLiteral("were"),
                        native(session.path())));
}

int saveElsewhere(DocumentSession& session, RunSequence& run, QString* savedAt) {
    QString path;
    const PlateDocument file = runDocument(session.document(), session.runOptions(),
                                           session.firstSet(), session.lastSet());
    const WriteResult written = saveToFallback(file, session.path(), run.savedAt(), &path);
    if (written.ok) {
        if (savedAt) *savedAt = path;
        session.setPath(QDir::fromNativeSeparators(path));
        session.setSaved(true);
        run.journalSaved();
        QTextStream(stderr) << "Saved instead to: " << path << Qt::endl;
        tellWhereUnsavedReadingsAre(session, run);
        return kExitFailure;
    }
    printError(written.error);
    if (run.journalHoldsEveryReading())
        printError(QStringLiteral("The run's readings are kept for recovery in %1 "
                                  "(vantorix-cli recover)")
                       .arg(native(run.journalPath())));
    else
        printAsLastResort(
            run, session.document(), session.firstSet(), run.lastReadingSet(),
            QStringLiteral("The run's %1").arg(counted(run.readingsTaken(), "reading", "readings")),
            run.readingsTaken());
    return kExitFailure;
}

bool tellWhereUnsavedReadingsAre(const DocumentSession& session, const RunSequence& run) {
    // A saved file leaves out only the unfinished dataset the user chose not to keep.
    const int unsaved = session.saved() ? run.readingsLeftOut() : run.readingsTaken();
    if (unsaved == 0) return true;
    const QString what =
        session.saved()
            ? QStringLiteral("%1 not in the saved file")
                  .arg(counted(unsaved, "reading", "readings"))
            : QStringLiteral("The run's %1").arg(counted(unsaved, "reading", "readings"));
    if (run.journalHoldsEveryReading()) {
        printError(QStringLiteral("%1 %2 kept for recovery in %3 (vantorix-cli recover)")
                       .arg(what, unsaved == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                            native(run.journalPath())));
        return true;
    }
    const int from = session.saved() ? session.lastSet() + 1 : session.firstSet();
    printAsLastResort(run, session.document(), from, std::max(from, run.lastReadingSet()), what,
                      unsaved);
    return false;
}

}  // namespace vantorix::cli
