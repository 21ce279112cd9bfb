// vantorix-cli simulate: a simulated instrument on a pseudo-terminal, for trying the program
// without the instrument. Prints the terminal's path on its first line, runs until
// interrupted.
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/CliCommand.h"
#include "app/CliSignals.h"
#include "simulator/PtyHost.h"

namespace vantorix::cli {

namespace {

// Reads the options into config; on bad usage says why and returns false.
bool parseArgs(const QStringList& args, sim::SimulatorConfig& config) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size()) {
            printError(QStringLiteral("'%1' needs a value").arg(arg));
            return false;
        }
        const QString value = args[++i];
        bool ok = false;
        QString error;
        if (arg == QLatin1String("--fault")) {
            if (!config.faults.add(value, &error)) {
                printError(error);
                return false;
            }
        } else if (arg == QLatin1String("--seed")) {
            config.seed = value.toUInt(&ok);
            if (!ok) {
                printError(QStringLiteral("--seed needs a whole number, not '%1'").arg(value));
                return false;
            }
        } else if (arg == QLatin1String("--well-time")) {
            const double seconds = value.toDouble(&ok);
            // Written so that "nan" fails the range test too.
            if (!ok || !(seconds >= 0 && seconds <= 3600)) {
                printError(QStringLiteral("--well-time needs seconds from 0 to 3600, not '%1'")
                               .arg(value));
                return false;
            }
            config.wellTime_ms = qRound64(seconds * 1000);
        } else {
            printError(QStringLiteral("unknown option '%1'").arg(arg));
            return false;
        }
    }
    return true;
}

int simulate(const QStringList& args) {
    sim::SimulatorConfig config;
    if (!parseArgs(args, config)) return kExitUsage;
    sim::PtyHost host(config);
    QString error;
    if (!host.start(&error)) {
        printError(error);
        return kExitFailure;
    }
    // SIGINT and SIGTERM quit the event loop, so the terminal is closed cleanly.
    if (!onSignals(qApp, StopSignals::InterruptTerminate, [] { QCoreApplication::quit(); })) {
        printError(QStringLiteral("cannot watch for interrupts"));
        return kExitFailure;
    }
    int exitCode = kExitOk;
    host.setHungUpHandler([&exitCode] {
        printError(QStringLiteral("the simulated instrument hung up the line (drop-out)"));
        exitCode = kExitFailure;
        QCoreApplication::quit();
    });
    QTextStream(stdout) << host.slavePath() << Qt::endl;
    QTextStream(stderr) << "Simulated instrument at 2400 baud on " << host.slavePath()
                        << "; Ctrl+C stops it." << Qt::endl;
    QCoreApplication::exec();
    host.stop();
    return exitCode;
}

const CliCommand command("simulate",
                         "simulate [--fault NAME[=N]]... [--seed N] [--well-time S]   "
                         "a simulated instrument on a pseudo-terminal (path printed first)",
                         simulate, [] {
                             return QStringLiteral("faults (--fault NAME or NAME=N): ") +
                                    sim::SimulatorFaults::names().join(QStringLiteral(", ")) +
                                    u'\n';
                         });

}  // namespace

}  // namespace vantorix::cli
