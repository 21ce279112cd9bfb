// vantorix-cli run: a whole run from a terminal, against an instrument on a serial port.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliSignals.h"
#include "files/FallbackSave.h"
#include "frame/ProgramState.h"
#include "frame/Scheduler.h"
#include "frame/Settings.h"
#include "frame/SettingsStore.h"
#include "measurement/RunSequence.h"
#include "options/WellSelection.h"
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
        print(title + QStringLiteral(": ") + text + (retry ? " [Retry]" : " [Cancel]"));
        answer(retry);
    }
    void askOkCancel(const QString& text, std::function<void(bool)> answer) override {
        print(text + QStringLiteral(" [OK]"));
        answer(true);
    }
    void askKeepPartial(const QString& text, int, std::function<void(bool)> answer) override {
        print(text + (keepPartial_ ? " [Yes]" : " [No: --keep-partial keeps them]"));
        answer(keepPartial_);
    }
    void notify(const QString& text) override { print(text); }
    void reportError(const QString& text) override {
        QTextStream(stderr) << "vantorix-cli: " << text << Qt::endl;
    }
    void setStatusLine(const QString& text, bool visible) override {
        if (visible && !text.isEmpty() && text != status_) print(text);
        status_ = visible ? text : QString();
    }
    void setMessageLine(const QString& text, bool visible) override {
        if (visible && text != message_) print(QStringLiteral("  ") + text.trimmed());
        message_ = visible ? text : QString();
    }
    void setStartCancelCaption(const QString&) override {}
    void setCell(int, int, const QString&) override {}
    void runFinished() override { QCoreApplication::exit(0); }

  private:
    static void print(const QString& line) { QTextStream(stdout) << line << Qt::endl; }
    QString outPath_;
    int retries_;
    bool keepPartial_;
    QString status_, message_;
};

struct RunArgs {
    QString port, out, operatorName, test, plate, notes, wells;
    int repeats = -1, delay = -1, retry = 0;
    bool sensitive = false;
    bool keepPartial = false;
};

bool parseArgs(const QStringList& args, RunArgs& a, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& k = args[i];
        if (k == QLatin1String("--sensitive") || k == QLatin1String("--keep-partial")) {
            (k == QLatin1String("--sensitive") ? a.sensitive : a.keepPartial) = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(k);
            return false;
        }
        const QString v = args[++i];
        bool ok = true;
        if (k == QLatin1String("--port"))
            a.port = v;
        else if (k == QLatin1String("--out"))
            a.out = v;
        else if (k == QLatin1String("--operator"))
            a.operatorName = v;
        else if (k == QLatin1String("--test"))
            a.test = v;
        else if (k == QLatin1String("--plate"))
            a.plate = v;
        else if (k == QLatin1String("--notes"))
            a.notes = v;
        else if (k == QLatin1String("--wells"))
            a.wells = v;
        else if (k == QLatin1String("--repeats"))
            a.repeats = v.toInt(&ok);
        else if (k == QLatin1String("--delay"))
            a.delay = v.toInt(&ok);
        else if (k == QLatin1String("--retry"))
            a.retry = v.toInt(&ok);
        else {
            error = QStringLiteral("unknown option %1").arg(k);
            return false;
        }
        if (!ok) {
            error = QStringLiteral("%1 takes a whole number, not '%2'").arg(k, v);
            return false;
        }
    }
    if (a.port.isEmpty() || a.out.isEmpty()) {
        error = QStringLiteral("--port and --out are required");
        return false;
    }
    return true;
}

// The stored defaults, overridden by the options given.
bool buildOptions(const RunArgs& a, RunOptions& o, QString& error) {
    QSettingsStore store;
    o = loadOptions(store);
    if (!a.wells.isEmpty() && !parseWellList(a.wells, o.SelectedWells, &error)) return false;
    if (a.repeats >= 0) {
        if (a.repeats < 1 || a.repeats > kMaxSets) {
            error = QStringLiteral("--repeats must lie between 1 and 255");
            return false;
        }
        o.RepeatMode = a.repeats > 1;
        o.Repeats = static_cast<qint16>(a.repeats);
    }
    if (a.delay >= 0) {
        if (a.delay > 999) {
            error = QStringLiteral("--delay must lie between 0 and 999 seconds");
            return false;
        }
        o.Delay = static_cast<qint16>(a.delay);
    }
    if (a.sensitive) o.Sensitive = 1;
    return true;
}

// The run's file could not be written: the run goes to a file of its own instead.
int saveElsewhere(ProgramState& state, RunSequence& run) {
    if (!run.failure().isEmpty()) printError(run.failure());
    QString path;
    const WriteResult written = saveToFallback(state, state.DataDate, &path);
    if (!written.ok) {
        printError(QStringLiteral("%1; the readings are kept in %2 (vantorix-cli recover)")
                       .arg(written.error, QDir::toNativeSeparators(run.journalPath())));
        return kExitFailure;
    }
    run.journalSaved();
    QTextStream(stderr) << "Saved instead to: " << path << Qt::endl;
    return kExitFailure;
}

int runCommand(const QStringList& args) {
    RunArgs a;
    QString error;
    if (!parseArgs(args, a, error)) {
        printError(error);
        return kExitUsage;
    }
    ProgramState state;
    state.DataFolder = state.AppFolder = QDir::currentPath();
    if (!buildOptions(a, state.CurrentOptions, error)) {
        printError(error);
        return kExitUsage;
    }
    state.DefaultOptions = state.CurrentOptions;
    state.Operator = a.operatorName;
    state.Test = a.test;
    state.PlateNo = a.plate;
    state.Notes = a.notes;

    QtSerialPort port;
    port.setPortName(a.port);
    port.setSettings(QStringLiteral("2400,n,8,1"));
    port.setInputMode(InputMode::Text);
    port.setInputLen(0);
    QtScheduler scheduler;
    CliFrontEnd ui(QFileInfo(a.out).absoluteFilePath(), a.retry, a.keepPartial);
    RunSequence run(state, port, scheduler, ui);

    onCancelSignals(qApp, [&run] { run.cancel(); });
    run.start();
    if (run.running()) QCoreApplication::exec();
    port.close();  // waits (bounded) until the last "S" or "Z" is on the line
    if (state.HasData && !state.Saved) return saveElsewhere(state, run);
    if (!run.journalPath().isEmpty())
        printError(QStringLiteral("readings not in the saved file are kept for recovery in %1")
                       .arg(QDir::toNativeSeparators(run.journalPath())));

    switch (run.outcome()) {
        case RunOutcome::Completed:
            printGrid(state, std::max<int>(1, state.LastSet), GridMode::Readings);
            return kExitOk;
        case RunOutcome::Cancelled:
            return kExitCancelled;
        case RunOutcome::NotStarted:
        case RunOutcome::Failed:
            break;
    }
    if (!run.failure().isEmpty()) printError(run.failure());
    return kExitFailure;
}

const CliCommand registration(
    "run",
    "run --port DEVICE --out FILE [--operator T] [--test T] [--plate T] [--notes T]\n"
    "      [--wells LIST] [--repeats N] [--delay S] [--sensitive] [--retry N] [--keep-partial]\n"
    "      measures a plate on the instrument at DEVICE and saves the run to FILE",
    runCommand);

}  // namespace
}  // namespace vantorix::cli
