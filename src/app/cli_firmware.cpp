// vantorix-cli firmware: the firmware download without the desktop, against an instrument on
// a serial port. Prints the progress on one line; Ctrl+C cancels as "&Cancel" does.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliRecorder.h"
#include "app/CliSignals.h"
#include "firmware/FirmwareDriver.h"
#include "firmware/FirmwareTexts.h"
#include "kernel/Scheduler.h"
#include "serial/QtSerialPort.h"

namespace vantorix::cli {
namespace {

enum class Outcome { Running, Updated, Cancelled, Failed };

// Prints the download panel's status as one line that is rewritten in place.
class CliFirmwareFrontEnd : public FirmwareFrontEnd {
  public:
    void setStatusText(const QString& text) override {
        if (text == status_) return;
        status_ = text;
        QTextStream(stdout) << "\r" << text.leftJustified(widest_) << Qt::flush;
        widest_ = qMax(widest_, text.size());
    }
    void setStatusVisible(bool) override {}
    void announceImage(const QString& text) override { QTextStream(stdout) << text << Qt::endl; }
    void setStartCancelCaption(const QString&) override {}
    void setDoneEnabled(bool) override {}
    void inform(const QString& text) override {
        lastNotice = text;  // only the refusals of the image come here; the caller says them
    }
    void reportError(const QString& text) override {
        failure = text;
        end(Outcome::Failed);
    }
    void firmwareUpdated() override {
        QTextStream(stdout) << "\n" << firmware::kUpdated << Qt::endl;
        end(Outcome::Updated);
    }
    void returnedToIdle() override {
        if (outcome == Outcome::Running) end(Outcome::Cancelled);
    }

    Outcome outcome = Outcome::Running;
    QString failure;
    QString lastNotice;

  private:
    void end(Outcome o) {
        if (outcome == Outcome::Running || o == Outcome::Failed) outcome = o;
        QCoreApplication::exit(0);
    }
    QString status_;
    qsizetype widest_ = 0;
};

bool parseArgs(const QStringList& args, QString& port, QString& image, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(args[i]);
            return false;
        }
        const QString& key = args[i];
        const QString& value = args[++i];
        if (key == QLatin1String("--port")) {
            port = value;
        } else if (key == QLatin1String("--image")) {
            image = value;
        } else {
            error = QStringLiteral("unknown option %1").arg(key);
            return false;
        }
    }
    if (port.isEmpty() || image.isEmpty()) {
        error = QStringLiteral("--port and --image are required");
        return false;
    }
    return true;
}

int firmwareCommand(const QStringList& args) {
    QString device, image, error;
    if (!parseArgs(args, device, image, error)) {
        printError(error);
        return kExitUsage;
    }
    const QString imagePath = QFileInfo(image).absoluteFilePath();
    QtSerialPort port;
    QtScheduler scheduler;
    CliFirmwareFrontEnd ui;
    FirmwareDriver download(port, scheduler, ui);
    download.setPort(1, device);
    download.setImageSource({{imagePath}, QStringLiteral("no firmware image at ") + imagePath});
    download.load();

    onSignals(qApp, StopSignals::Interrupt, [&download] {
        if (download.startCaption() == firmware::kCancelCaption)
            download.StartOrCancelDownload();  // cancels, as the button does
        else
            QCoreApplication::exit(0);
    });

    download.StartOrCancelDownload();
    // The image was refused before anything was sent.
    if (download.startCaption() == firmware::kStartCaption && ui.outcome == Outcome::Running) {
        printError(ui.lastNotice);
        return kExitFailure;
    }
    if (ui.outcome == Outcome::Running) QCoreApplication::exec();
    if (ui.outcome == Outcome::Updated) {
        // Let "melto" leave before the port closes.
        QElapsedTimer wait;
        wait.start();
        while (port.isOpen() && wait.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    download.closePort();
    recordHistory([&](RunHistory& h) {
        const QString outcome = ui.outcome == Outcome::Updated ? QStringLiteral("sent")
                                : ui.outcome == Outcome::Failed
                                    ? QStringLiteral("failed: ") + ui.failure
                                    : QStringLiteral("cancelled");
        h.record(history::events::firmwareSent(history::fileSha256(imagePath), outcome));
    });
    switch (ui.outcome) {
        case Outcome::Updated:
            return kExitOk;
        case Outcome::Cancelled:
        case Outcome::Running:
            printError(QStringLiteral("cancelled; reboot the instrument by hand"));
            return kExitCancelled;
        case Outcome::Failed:
            break;
    }
    printError(ui.failure);
    return kExitFailure;
}

const CliCommand registration(
    "firmware",
    "firmware --port DEVICE --image FILE\n"
    "      sends FILE as the instrument's new firmware (XMODEM through its command shell)",
    firmwareCommand);

}  // namespace
}  // namespace vantorix::cli
