// Transfer time of a firmware image to the simulated instrument on a pseudo-terminal, its
// line paced at 9600 baud, against the line-rate minimum: every block's 132 bytes and its
// one-byte answer back to back at 10 bits per byte. A timing program, not a test:
//
//   bench_firmware_bench [KILOBYTES]      (default 50)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "firmware/FirmwareDriver.h"
#include "firmware/FirmwareTexts.h"
#include "kernel/Scheduler.h"
#include "serial/QtSerialPort.h"
#include "simulator/PtyHost.h"
#include "simulator/ShellMode.h"
#include "simulator/SimulatedInstrument.h"

using namespace vantorix;

namespace {

// Times the transfer from the first block to the end, and ends the event loop when done.
class TimingFrontEnd : public FirmwareFrontEnd {
  public:
    void setStatusText(const QString& text) override {
        if (text.endsWith(u'%') && !clock.isValid()) clock.start();
        if (text == firmware::kAlmostDone && transfer_ms < 0) transfer_ms = clock.elapsed();
    }
    void setStatusVisible(bool) override {}
    void setStartCancelCaption(const QString&) override {}
    void setDoneEnabled(bool) override {}
    void inform(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void reportError(const QString& text) override {
        failure = text;
        QCoreApplication::exit(1);
    }
    void firmwareUpdated() override { QCoreApplication::exit(0); }

    QElapsedTimer clock;
    qint64 transfer_ms = -1;
    QString failure;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 kilobytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;
    QTemporaryDir dir;
    QByteArray image(kilobytes * 1024, 0);
    for (qsizetype i = 0; i < image.size(); ++i) image[i] = char((i * 131) >> 3);
    const QString path = dir.filePath("melto.exe");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) return 2;
    file.close();

    sim::PtyHost host;
    QString error;
    if (!host.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    QtSerialPort port;
    QtScheduler scheduler;
    TimingFrontEnd ui;
    FirmwareDriver download(port, scheduler, ui);
    download.setPort(1, host.slavePath());
    download.setImageSource({{path}, "missing"});
    download.load();
    QElapsedTimer whole;
    whole.start();
    download.StartOrCancelDownload();
    const int rc = QCoreApplication::exec();
    if (rc != 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(ui.failure));
        return 1;
    }
    const bool intact = host.instrument()->shell().file("melto.exe").left(image.size()) == image;
    const qint64 blocks = (image.size() + 127) / 128;
    const double minimum_ms = blocks * (132 + 1) * 10 * 1000.0 / 9600;
    std::printf("image %lld KB, %lld blocks, received %s\n", kilobytes, blocks,
                intact ? "intact" : "DAMAGED");
    std::printf("transfer %lld ms, line-rate minimum %.0f ms, %.1f%% above it\n", ui.transfer_ms,
                minimum_ms, (ui.transfer_ms / minimum_ms - 1) * 100);
    std::printf("whole download with the shell's set-up %lld ms\n", whole.elapsed());
    return intact ? 0 : 1;
}
