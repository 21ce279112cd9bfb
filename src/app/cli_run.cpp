// vantorix-cli run: a whole run from a terminal, against an instrument on a serial port.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliOutputFile.h"
#include "app/CliRecorder.h"
#include "app/CliRunEnd.h"
#include "app/CliRunOptions.h"
#include "app/CliSignals.h"
#include "files/DataFileNaming.h"
#include "kernel/DataPaths.h"
#include "kernel/InstrumentLine.h"
#include "kernel/Scheduler.h"
#include "kernel/Settings.h"
#include "kernel/SettingsStore.h"
#include "kernel/Text.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"
#include "options/WellSelection.h"
#include "plate/DocumentSession.h"
#include "protocols/ProtocolStore.h"
#include "results/CellText.h"
#include "serial/QtSerialPort.h"

namespace vantorix::cli {
namespace {

// Answers the run's questions as the options say and prints what the window would show.
class CliFrontEnd : public RunFrontEnd {
  public:
    CliFrontEnd(QString outPath, int retries, bool keepPartial)
        : outPath_(std::move(outPath)), retries_(retries), keepPartial_(keepPartial) {}

    void askDataFileName(const QString&, const QString&,
                         std::function<void(QString)> answer) override {
        answer(outPath_);
    }
    void askRetryCancel(const QString& title, const QString& text,
                        std::function<void(bool)> answer) override {
        const bool retry = retries_ > 0;
        if (retry) --retries_;
        gaveUp_ = !retry;
        print(title + QStringLiteral(": ") + text +
              (retry ? " [Retry]" : " [Cancel: no retries left]"));
        answer(retry);
    }
    void askOkCancel(const QString& text, std::function<void(bool)> answer) override {
        print(text + QStringLiteral(" [OK]"));
        answer(true);
    }
    void askKeepPartial(const QString& text, int, std::function<void(bool)> answer) override {
        print(blameless(text) + (keepPartial_ ? " [Yes]" : " [No: --keep-partial keeps them]"));
        answer(keepPartial_);
    }
    void notify(const QString& text) override { print(blameless(text)); }
    void reportError(const QString& text) override {
        if (reported_.contains(text)) return;
        reported_ << text;
        printError(text);
    }
    void setStatusLine(const QString& text, bool visible) override {
        if (visible && !text.isEmpty() && text != status_) print(text);
        status_ = visible ? text : QString();
    }
    void setMessageLine(const QString& text, bool visible) override {
        // The instrument's own text: none of its bytes reaches the terminal unescaped.
        if (visible && text != message_) print(QStringLiteral("  ") + terminalText(text.trimmed()));
        message_ = visible ? text : QString();
    }
    // A dataset has begun, and the run's journal with it.
    void datasetBegun(int, int) override {
        if (onDatasetBegun) std::exchange(onDatasetBegun, nullptr)();
    }
    std::function<void()> onDatasetBegun;
    void runFinished() override { QCoreApplication::exit(0); }
    bool gaveUp() const { return gaveUp_; }

  private:
    // The run calls the automatic Cancel after the last retry a cancel; nobody pressed one.
    QString blameless(const QString& text) const {
        const QLatin1String cancelled(kCancelledText);
        if (!gaveUp_ || !text.startsWith(cancelled)) return text;
        return QStringLiteral(
                   "The run was stopped: the instrument did not answer and no retries were "
                   "left (--retry N allows N more tries).") +
               text.mid(cancelled.size());
    }
    static void print(const QString& line) {
        QTextStream(stdout) << terminalText(line, true) << Qt::endl;
    }
    QString outPath_;
    int retries_;
    bool keepPartial_;
    bool gaveUp_ = false;
    QStringList reported_;
    QString status_, message_;
};

// "--protocol NAME" taken out of the arguments: the protocol's options replace the stored run
// defaults, and the other options change them for this run only. Empty when good.
QString takeProtocol(QStringList& args, StoredProtocol& protocol, bool& given) {
    const qsizetype at = args.indexOf(QStringLiteral("--protocol"));
    given = at >= 0;
    if (!given) return {};
    if (at + 1 >= args.size()) return QStringLiteral("--protocol needs a value");
    const QString name = args[at + 1];
    args.remove(at, 2);
    return loadProtocol(protocolsFolder(), name, protocol);
}

int runCommand(const QStringList& given) {
    // The run defaults the desktop program saved, or a protocol's options; the options given
    // change them for this run only (the store is never written).
    const QSettingsStore store;
    QStringList args = given;
    StoredProtocol protocol;
    bool fromProtocol = false;
    if (const QString error = takeProtocol(args, protocol, fromProtocol); !error.isEmpty()) {
        printError(error);
        return kExitUsage;
    }
    RunArgs a;
    const QString error =
        parseRunArgs(args, fromProtocol ? protocol.protocol.options : loadOptions(store), a);
    if (!error.isEmpty()) {
        printError(error);
        return kExitUsage;
    }
    if (const QString refused = refuseToReplace(withOvdExtension(a.out), a.force);
        !refused.isEmpty()) {
        printError(refused);
        return kExitUsage;
    }
    if (const QString unread = store.readFailure(); !unread.isEmpty() && !fromProtocol)
        printError(QStringLiteral("the stored run defaults were not read from %1 (%2); the "
                                  "built-in defaults are used")
                       .arg(QDir::toNativeSeparators(store.location()), unread));
    DocumentSession session;
    DataFolders folders = programFolders(DataFolderStart::CurrentFolder);
    RunOptions defaults = a.options;
    session.runOptions() = a.options;
    session.setHeaderText(&PlateHeader::operatorName, a.operatorName);
    session.setHeaderText(&PlateHeader::test, a.test);
    session.setHeaderText(&PlateHeader::plateNo, a.plate);
    session.setHeaderText(&PlateHeader::notes, a.notes);

    QtSerialPort port;
    port.setPortName(a.port);
    port.setSettings(kInstrumentLineSettings);
    port.setInputMode(InputMode::Text);
    port.setInputLen(0);
    QtScheduler scheduler;
    CliFrontEnd ui(QFileInfo(a.out).absoluteFilePath(), a.retry, a.keepPartial);
    RunSequence run(session, defaults, folders, port, scheduler, ui);

    onCancelSignals(qApp, [&run] { run.cancel(); });
    // The run's start is recorded once its journal exists: on a nearly full disk the journal,
    // the primary record, comes first. A run that never got that far records it at its end.
    ui.onDatasetBegun = [&] {
        recordHistory([&](RunHistory& h) {
            // The options given on the command line change the protocol's run, not its protocol.
            if (fromProtocol)
                h.useProtocol(protocol.protocol.name, protocol.sha256, session.runOptions());
            h.runStarted(session.runOptions());
        });
    };
    run.start();
    if (run.running()) QCoreApplication::exec();
    port.close();  // waits (bounded) until the last "S" or "Z" is on the line
    if (ui.onDatasetBegun) std::exchange(ui.onDatasetBegun, nullptr)();
    recordHistory([&](RunHistory& h) {
        h.runEnded(session.saved() ? session.path() : QString(), run.outcome(), run.failure());
    });
    if (!run.failure().isEmpty()) ui.reportError(run.failure());
    if (session.hasData() && !session.saved()) {
        QString savedAt;
        const QString intended = session.path();
        const int exitCode = saveElsewhere(session, run, &savedAt);
        if (!savedAt.isEmpty())
            recordHistory(
                [&](RunHistory& h) { h.savedElsewhere(intended, run.failure(), savedAt); });
        return exitCode;
    }
    const bool kept = tellWhereUnsavedReadingsAre(session, run);
    if (run.outcome() == RunOutcome::Completed) {
        tellUnreadWells(session.document(), session.runOptions().SelectedWells, session.firstSet(),
                        session.lastSet());
        printGrid(session.document(), std::max<int>(1, session.lastSet()), GridMode::Readings);
        return kept ? kExitOk : kExitFailure;
    }
    tellWhatWasSaved(session, run.partialSetKept());
    if (kept && run.outcome() == RunOutcome::Cancelled && !ui.gaveUp()) return kExitCancelled;
    return kExitFailure;
}

const CliCommand registration(
    "run",
    "run --port DEVICE --out FILE [--force] [--operator T] [--test T] [--plate T] [--notes T]\n"
    "      [--protocol NAME] [OPTIONS]  measures a plate on the instrument at DEVICE and saves\n"
    "      the run to FILE; OPTIONS override the stored run defaults (or the protocol's\n"
    "      options) for this run only",
    runCommand, [] { return QStringLiteral("options:\n") + QString::fromUtf8(kRunOptionsUsage); });

}  // namespace
}  // namespace vantorix::cli
