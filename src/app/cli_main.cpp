// vantorix-cli: the program's core from a terminal.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/CliCommand.h"
#include "kernel/ProgramVersion.h"
#include "kernel/Text.h"

namespace vantorix::cli {

std::map<QString, CommandEntry>& commands() {
    static std::map<QString, CommandEntry> table;
    return table;
}

CliCommand::CliCommand(const char* name, const char* usage, Handler handler, Details details) {
    commands()[QString::fromLatin1(name)] = {QString::fromUtf8(usage), std::move(handler),
                                             std::move(details)};
}

bool asksForHelp(const QStringList& args) {
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

void printError(const QString& message) {
    // File names and texts from files or the line may hold control characters.
    QTextStream(stderr) << "vantorix-cli: " << vantorix::terminalText(message, true) << Qt::endl;
}

int usageError(const QString& message, const char* usage) {
    printError(message);
    QTextStream(stderr) << "usage: vantorix-cli " << usage << Qt::endl;
    return kExitUsage;
}

void printUsage(bool toStderr) {
    QTextStream out(toStderr ? stderr : stdout);
    out << "usage: vantorix-cli COMMAND [OPTIONS]\n"
           "       vantorix-cli --help | --version\n\ncommands:\n";
    for (const auto& [name, entry] : commands()) out << "  " << entry.usage << "\n";
    out.flush();
}

}  // namespace vantorix::cli

int main(int argc, char** argv) {
    using namespace vantorix::cli;
    // Drawing pictures and reports needs fonts, hence a GUI application, never with a screen.
    bool paints = argc > 1 && std::strcmp(argv[1], "report") == 0;
    for (int i = 1; i < argc; ++i)
        paints = paints || std::strcmp(argv[i], "--png") == 0 || std::strcmp(argv[i], "--pdf") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (paints) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The platform's start-up remarks (no runtime folder on a server) are not the user's.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg && !text.startsWith(u"QStandardPaths:"))
                QTextStream(stderr) << text << Qt::endl;
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printUsage(true);
        return kExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        printUsage(false);
        return kExitOk;
    }
    if (name == QLatin1String("--version")) {
        QTextStream(stdout) << "vantorix-cli " << vantorix::ProgramVersion().text() << Qt::endl;
        return kExitOk;
    }
    auto it = commands().find(name);
    if (it == commands().end()) {
        printError(QStringLiteral("unknown command '%1'").arg(name));
        printUsage(true);
        return kExitUsage;
    }
    if (asksForHelp(args)) {
        QTextStream out(stdout);
        out << "usage: vantorix-cli " << it->second.usage << '\n';
        if (it->second.details) out << it->second.details();
        out.flush();
        return kExitOk;
    }
    return it->second.handler(args);
}
