// vantorix-cli history: the runs the history knows, newest first, found by operator, test,
// plate, date or file.
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliHistory.h"
#include "kernel/Text.h"

namespace vantorix::cli {
namespace {

const char* const kHistoryUsage =
    "history [--operator TEXT] [--test TEXT] [--plate TEXT] [--since DATE] [--until DATE]\n"
    "        [--file PATH] [--history FILE]\n"
    "      the recorded runs, newest first, one tab-separated line each: date, operator, test,\n"
    "      plate, sets, path, and whether the file still matches what was recorded (ok,\n"
    "      changed, missing). TEXT matches anywhere, in any case; DATE is 2026-12-01 or\n"
    "      \"2026-12-01 14:30\"; --history reads another history database";

QString fileState(const history::FileFacts& f) {
    if (!QFileInfo(f.path).isFile()) return QStringLiteral("missing");
    return history::fileSha256(f.path) == f.sha256 ? QStringLiteral("ok")
                                                   : QStringLiteral("changed");
}

bool takeFilter(QStringList& args, history::RunFilter& filter) {
    QString since, until, file;
    if (!takeOption(args, QStringLiteral("--operator"), filter.operatorName) ||
        !takeOption(args, QStringLiteral("--test"), filter.test) ||
        !takeOption(args, QStringLiteral("--plate"), filter.plate) ||
        !takeOption(args, QStringLiteral("--since"), since) ||
        !takeOption(args, QStringLiteral("--until"), until) ||
        !takeOption(args, QStringLiteral("--file"), file))
        return false;
    if (!file.isEmpty()) filter.file = QFileInfo(file).absoluteFilePath();
    filter.since = since.isEmpty() ? QDateTime() : sinceBound(since);
    filter.until = until.isEmpty() ? QDateTime() : untilBound(until);
    for (const QString* date : {&since, &until}) {
        if (!date->isEmpty() && !sinceBound(*date).isValid()) {
            printError(QStringLiteral("history: '%1' is no date (2026-12-01)").arg(*date));
            return false;
        }
    }
    return true;
}

int runHistory(QStringList args) {
    history::RunFilter filter;
    if (!takeFilter(args, filter)) return kExitUsage;
    int exitCode = kExitOk;
    auto h = openCliHistory(args, exitCode);
    if (!h) return exitCode;
    if (!args.isEmpty()) {
        printError(QStringLiteral("history: unknown argument '%1'").arg(args[0]));
        return kExitUsage;
    }
    QTextStream out(stdout);
    for (const history::RunRow& r : h->runs(filter)) {
        const history::FileFacts& f = r.facts;
        out << r.when.toLocalTime().toString(QLatin1String(kDateTimeForm)) << '\t'
            << cliField(f.header.operatorName) << '\t' << cliField(f.header.test) << '\t'
            << cliField(f.header.plateNo) << '\t' << f.sets << '\t'
            << cliField(QDir::toNativeSeparators(f.path)) << '\t' << fileState(f) << '\n';
    }
    out.flush();
    return kExitOk;
}

const CliCommand registration("history", kHistoryUsage, runHistory);

}  // namespace
}  // namespace vantorix::cli
