// vantorix-cli protocol: the user's assay protocols, listed, shown, exported to a text file a
// lab can keep under version control, and imported from one.
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliOutputFile.h"
#include "kernel/Text.h"
#include "protocols/ProtocolStore.h"
#include "protocols/ProtocolText.h"

namespace vantorix::cli {

namespace {

const char* const kProtocolUsage =
    "protocol list | show NAME | export NAME FILE [--force] | import FILE [--force]\n"
    "      the assay protocols: list their names, print one, write one to FILE (a text file\n"
    "      to keep under version control), or add the one in FILE (--force replaces a\n"
    "      protocol of the same name)";

int usageError(const QString& message) {
    printError(QStringLiteral("protocol: ") + message);
    QTextStream(stderr) << "usage: vantorix-cli " << kProtocolUsage << Qt::endl;
    return kExitUsage;
}

int fail(const QString& message) {
    printError(message);
    return kExitFailure;
}

int list() {
    QTextStream out(stdout);
    for (const QString& name : protocolNames(protocolsFolder())) out << terminalText(name) << '\n';
    return kExitOk;
}

int show(const QString& name) {
    StoredProtocol stored;
    if (QString error = loadProtocol(protocolsFolder(), name, stored); !error.isEmpty())
        return fail(error);
    QTextStream(stdout) << terminalText(protocolText(stored.protocol), true)
                        << "# sha256 of the stored file: " << stored.sha256 << Qt::endl;
    return kExitOk;
}

int exportTo(const QString& name, const QString& path, bool force) {
    if (QString refused = refuseToReplace(path, force); !refused.isEmpty())
        return usageError(refused);
    StoredProtocol stored;
    if (QString error = loadProtocol(protocolsFolder(), name, stored); !error.isEmpty())
        return fail(error);
    if (QString error = writeProtocolFile(path, stored.protocol); !error.isEmpty())
        return fail(error);
    return kExitOk;
}

int importFrom(const QString& path, bool force) {
    StoredProtocol read;
    if (QString error = loadProtocolFile(path, read); !error.isEmpty()) return fail(error);
    QString error = saveProtocol(protocolsFolder(), read.protocol, force);
    if (!error.isEmpty())
        return fail(error + (force ? QString() : QStringLiteral(" (--force replaces it)")));
    QTextStream(stdout) << "imported protocol '" << terminalText(read.protocol.name) << "'"
                        << Qt::endl;
    return kExitOk;
}

int runProtocol(const QStringList& given) {
    QStringList args = given;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    const QString verb = args.value(0);
    const struct {
        const char* verb;
        qsizetype count;
    } arity[] = {{"list", 1}, {"show", 2}, {"export", 3}, {"import", 2}};
    for (const auto& [v, count] : arity) {
        if (verb != QLatin1String(v)) continue;
        if (args.size() != count)
            return usageError(QStringLiteral("%1 takes %2 argument(s)").arg(verb).arg(count - 1));
        if (verb == u"list") return list();
        if (verb == u"show") return show(args[1]);
        if (verb == u"export") return exportTo(args[1], args[2], force);
        return importFrom(args[1], force);
    }
    return usageError(verb.isEmpty() ? QStringLiteral("list, show, export or import?")
                                     : QStringLiteral("unknown action '%1'").arg(verb));
}

const CliCommand protocolCommand("protocol", kProtocolUsage, runProtocol);

}  // namespace

}  // namespace vantorix::cli
