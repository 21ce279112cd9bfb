// The desktop program. `vantorix --simulate` puts a simulated instrument on a pseudo-terminal
// inside the program and uses it as the instrument's port, so the program can be tried with no
// instrument at hand.
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QIcon>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/GuiDesktopWiring.h"
#include "app/GuiHistoryHooks.h"
#include "frame/frmMain.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiRecoveryOffer.h"
#include "measurement/RunJournal.h"
#include "plate/DocumentSession.h"
#include "serial/QtSerialPort.h"
#include "simulator/PtyHost.h"
#include "ui/GuiDialogs.h"

using namespace vantorix;

namespace {

struct Options {
    bool simulate = false;
    sim::SimulatorConfig simulator;
    bool exitAfterStart = false;
    QString file;  // a data file to open at start-up
};

Options parseArguments(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Companion program of the Vantorix plate luminometer."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral(
            "Use a simulated instrument on a pseudo-terminal instead of the serial port."));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the simulated readings."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption wellTime(
        QStringLiteral("well-time"),
        QStringLiteral("Seconds the simulated instrument measures a well."), QStringLiteral("S"),
        QStringLiteral("0.5"));
    const QCommandLineOption exitAfterStart(
        QStringLiteral("exit-after-start"),
        QStringLiteral(
            "Quit once the frame is on screen and print the start-up time (for measuring)."));
    parser.addOptions({simulate, seed, wellTime, exitAfterStart});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("An OVD data file to open in the measurement "
                                                "window."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    Options o;
    o.simulate = parser.isSet(simulate);
    o.simulator.seed = parser.value(seed).toUInt();
    o.simulator.wellTime_ms = qMax<qint64>(0, qRound64(parser.value(wellTime).toDouble() * 1000));
    o.exitAfterStart = parser.isSet(exitAfterStart);
    if (!parser.positionalArguments().isEmpty()) o.file = parser.positionalArguments().first();
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(vantorix);
    QApplication::setApplicationName(kSettingsApplication);
    // No display name: the platform would append it to every window title.
    QApplication::setApplicationVersion(ProgramVersion().text());
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvexa_labs.vantorix"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vantorix/vantorix.png")));
    const Options options = parseArguments(app);

    DocumentSession session;
    DataFolders folders = programFolders(DataFolderStart::ProgramFiles);

    QSettingsStore store;
    // Every setting the program changes is also an event of the history.
    frmMain* framePtr = nullptr;
    AuditedSettingsStore settings(store, [&framePtr](const history::Event& event) {
        if (GuiHistoryHooks* hooks = framePtr ? GuiHistoryHooks::of(*framePtr) : nullptr)
            hooks->record(event);
    });
    QtSerialPort port;
    QtScheduler scheduler;
    QtDialogs dialogs;
    std::unique_ptr<sim::PtyHost> simulator;
    if (options.simulate) {
        simulator = std::make_unique<sim::PtyHost>(options.simulator);
        QString error;
        if (!simulator->start(&error)) {
            QMessageBox::critical(
                nullptr, messageBoxTitle(),
                QStringLiteral("The simulated instrument could not be started.\n") + error);
            return 1;
        }
    }

    frmMain frame(session, folders, settings, port, scheduler, dialogs);
    framePtr = &frame;
    wireDesktop(frame, settings, scheduler, QCoreApplication::applicationDirPath());
    if (simulator) {
        port.setPortName(simulator->slavePath());
        frame.statusBar()->showMessage(QStringLiteral("Simulated instrument on ") +
                                       simulator->slavePath());
    }
    frame.show();
    if (!options.file.isEmpty()) openDocumentFile(frame, options.file);
    if (!options.exitAfterStart)
        QTimer::singleShot(0, &frame, [&] {
            offerRecovery(&frame, dialogs, recoveryFolder(), folders.data, {},
                          [&](const QString& path) {
                              if (GuiHistoryHooks* hooks = GuiHistoryHooks::of(frame))
                                  hooks->recovered(path);
                              openDocumentFile(frame, path);
                          });
        });
    if (options.exitAfterStart) {
        QTimer::singleShot(0, &app, [&] {
            std::fprintf(stderr, "first frame shown after %lld ms\n",
                         static_cast<long long>(sinceStart.elapsed()));
            frame.close();
        });
    }
    return app.exec();
}
