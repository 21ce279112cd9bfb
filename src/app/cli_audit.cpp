// vantorix-cli audit: the audit trail's events, and its verification.
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliHistory.h"
#include "kernel/Text.h"

namespace vantorix::cli {
namespace {

const char* const kAuditUsage =
    "audit [--file PATH] [--since DATE] [--history FILE] | audit verify [--history FILE]\n"
    "      prints the audit trail's events, one tab-separated line each: number, time (UTC),\n"
    "      login@host, program version, what happened, file, details; verify recomputes the\n"
    "      chain of every event (exit 1 names the first that does not match), checks the\n"
    "      database's structure and lists recorded files changed outside the program";

QString details(const history::Fields& fields) {
    QStringList parts;
    for (const auto& [name, value] : fields) parts << name + u'=' + value;
    return cliField(parts.join(QStringLiteral("; ")));
}

int printEvents(QStringList args) {
    history::EventFilter filter;
    QString file, since;
    if (!takeOption(args, QStringLiteral("--file"), file) ||
        !takeOption(args, QStringLiteral("--since"), since))
        return kExitUsage;
    if (!file.isEmpty()) filter.file = QFileInfo(file).absoluteFilePath();
    filter.since = sinceBound(since);
    if (!since.isEmpty() && !filter.since.isValid()) {
        printError(QStringLiteral("audit: '%1' is no date (2026-12-01)").arg(since));
        return kExitUsage;
    }
    int exitCode = kExitOk;
    auto h = openCliHistory(args, exitCode);
    if (!h) return exitCode;
    if (!args.isEmpty()) {
        printError(QStringLiteral("audit: unknown argument '%1'").arg(args[0]));
        return kExitUsage;
    }
    QTextStream out(stdout);
    for (const history::StoredEvent& e : h->events(filter)) {
        out << e.seq << '\t' << e.time.toString(Qt::ISODate) << '\t'
            << cliField(e.login + u'@' + e.host) << '\t' << cliField(e.programVersion) << '\t'
            << history::kindName(e.event.kind) << '\t'
            << cliField(QDir::toNativeSeparators(e.event.file)) << '\t' << details(e.event.fields)
            << '\n';
    }
    out.flush();
    return kExitOk;
}

int verify(QStringList args) {
    int exitCode = kExitOk;
    auto h = openCliHistory(args, exitCode);
    if (!h) return exitCode;
    if (!args.isEmpty()) {
        printError(QStringLiteral("audit verify: unknown argument '%1'").arg(args[0]));
        return kExitUsage;
    }
    if (const QString damage = h->checkIntegrity(); !damage.isEmpty()) {
        printError(h->takeSetAsideNotice());
        return kExitFailure;
    }
    const history::ChainCheck chain = h->verifyChain();
    QTextStream out(stdout);
    for (const history::ChangedFile& f : h->changedFiles())
        out << "changed outside the program: " << cliField(QDir::toNativeSeparators(f.path))
            << " (recorded " << f.recordedSha256 << ", now " << f.actualSha256 << ")\n";
    if (!chain.ok) {
        out.flush();
        printError(QStringLiteral("audit trail broken at %1").arg(chain.problem));
        return kExitFailure;
    }
    out << chain.checked << " events checked; the chain is intact (last chain value "
        << chain.last.toHex() << ")" << Qt::endl;
    return kExitOk;
}

int runAudit(const QStringList& args) {
    if (!args.isEmpty() && args[0] == QLatin1String("verify")) return verify(args.mid(1));
    return printEvents(args);
}

const CliCommand registration("audit", kAuditUsage, runAudit);

}  // namespace
}  // namespace vantorix::cli
