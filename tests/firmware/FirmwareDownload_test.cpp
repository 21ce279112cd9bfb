// The whole download, driver and conversation, against the simulated instrument's shell in
// virtual time, and the port's failures against a scripted port.
#include "firmware/FirmwareDriver.h"

#include <gtest/gtest.h>
#include <QFile>
#include <memory>
#include <random>

#include "FirmwareTestSupport.h"
#include "firmware/FirmwareTexts.h"
#include "simulator/PairHarness.h"
#include "simulator/ShellMode.h"
#include "support/GoldenRecord.h"

using namespace vantorix;
using namespace vantorix::test;
using namespace vantorix::sim;

namespace {

struct RecordingUi : FirmwareFrontEnd {
    void setStatusText(const QString& t) override { statuses << t; }
    void setStatusVisible(bool) override {}
    void setStartCancelCaption(const QString& c) override { caption = c; }
    void setDoneEnabled(bool e) override { doneEnabled = e; }
    void setBlockLabel(const QString& t) override { blockLabels << t; }
    void inform(const QString& t) override { notices << t; }
    void announceImage(const QString& t) override { announced << t; }
    void reportError(const QString& t) override { errors << t; }
    void firmwareUpdated() override { updated = true; }
    QStringList statuses, blockLabels, notices, errors, announced;
    QString caption;
    bool doneEnabled = true, updated = false;
};

// The program's port with faults: bytes read during the transfer turned to noise (never an ACK,
// which no XMODEM sender can tell from a real one) and damaged blocks written. Seeded.
class NoisyPort : public SerialPort {
  public:
    NoisyPort(MemoryPort& port, quint32 seed)
        : port_(port),
          rng_(seed),
          onReady_(port_.onReady([this] { notifyReady(); })),
          onError_(port_.onError([this](const QString& r) { notifyError(r); })) {}
    void setPortNumber(int n) override { port_.setPortNumber(n); }
    int portNumber() const override { return port_.portNumber(); }
    void setPortName(const QString& n) override { port_.setPortName(n); }
    QString portName() const override { return port_.portName(); }
    void setSettings(const QString& s) override { port_.setSettings(s); }
    QString settings() const override { return port_.settings(); }
    bool open(QString* e) override { return port_.open(e); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    void setInputMode(InputMode m) override { port_.setInputMode(m); }
    void setInputLen(int n) override { port_.setInputLen(n); }
    int bytesWaiting() const override { return port_.bytesWaiting(); }
    QByteArray read() override {
        QByteArray got = port_.read();
        if (noisy && !got.isEmpty() && rng_() % 8 == 0) {
            const char noise[] = {21, 0, '~', 'B', 26, char(0xff)};
            const char byte = noise[rng_() % sizeof noise];
            got[0] = byte;  // the byte read is lost to the noise
            ++noiseBytes;
            if (byte == 21) ++noiseNaks;
        }
        return got;
    }
    bool write(const QByteArray& bytes) override {
        QByteArray out = bytes;
        if (damagedBlocks < maxDamagedBlocks && out.size() == 132 && rng_() % 20 == 0) {
            out[10] = char(out[10] ^ 0x55);
            ++damagedBlocks;
        }
        return port_.write(out);
    }
    bool noisy = false;
    int maxDamagedBlocks = 0;
    int noiseBytes = 0, noiseNaks = 0, damagedBlocks = 0;

  private:
    MemoryPort& port_;
    std::mt19937 rng_;
    Subscription onReady_, onError_;
};

struct Download {
    explicit Download(const QByteArray& image, SerialPort* port = nullptr)
        : dl(port ? *port : pair.port(), pair.scheduler(), ui) {
        path = writeImage(dir, image);
        dl.setImageSource({{path}, "missing"});
        dl.load();
    }
    bool runToEnd(qint64 limit_ms = 30 * 60 * 1000) {
        return pair.runUntil([&] { return ui.updated || !ui.errors.isEmpty(); }, limit_ms);
    }
    QTemporaryDir dir;
    QString path;
    PairHarness pair;
    RecordingUi ui;
    FirmwareDriver dl;
};

}  // namespace

TEST(FirmwareDownload, SendsTheImageToTheShellAndStartsIt) {
    // 300 blocks: the numbers wrap from 255 to 0 on the way.
    const QByteArray image = imageBytes(300 * 128 + 5);
    Download d(image);
    d.dl.StartOrCancelDownload();
    EXPECT_EQ(d.ui.caption, firmware::kCancelCaption);
    EXPECT_FALSE(d.ui.doneEnabled);
    EXPECT_EQ(d.ui.announced, QStringList{"melto.exe: 38,405 bytes (301 blocks), about 42 s at "
                                          "9600 baud"});
    ASSERT_TRUE(d.runToEnd());
    ASSERT_TRUE(d.ui.errors.isEmpty()) << d.ui.errors.join('\n').toStdString();
    EXPECT_EQ(d.pair.instrument().shell().file("melto.exe"), padded(image));
    EXPECT_EQ(d.ui.blockLabels.size(), 301);
    EXPECT_EQ(d.ui.blockLabels[254], "255");
    EXPECT_EQ(d.ui.blockLabels[255], "0");

    d.pair.runFor(2000);
    const auto lines = d.pair.linesFromProgram();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0].text, "Q");
    EXPECT_EQ(lines[3].text, "b:");
    EXPECT_TRUE(lines.back().text.endsWith("melto"));
    // "melto" started the new firmware: it reported the image and measures again at 2400.
    EXPECT_TRUE(d.pair.line()
                    .bytes(Direction::ToProgram)
                    .contains(ShellMode::imageReport("MELTO.EXE", padded(image))));
    EXPECT_FALSE(d.pair.instrument().inShell());
    // The port is left as the next run expects it.
    EXPECT_FALSE(d.pair.port().isOpen());
    EXPECT_EQ(d.pair.port().settings(), "2400,n,8,1");
    EXPECT_EQ(d.pair.port().inputMode(), InputMode::Text);
    ASSERT_TRUE(d.pair.sendLine("START"));
    EXPECT_TRUE(d.pair.runUntilReceived("O", 500));
    // The next opening starts idle, with nothing of the last download in its buffer.
    d.dl.load();
    EXPECT_EQ(d.dl.conversation().state(), FirmwareConversation::Idle);
    EXPECT_TRUE(d.dl.conversation().receiveBuffer().isEmpty());
}

// Every byte of a short download and its time, as recorded.
TEST(FirmwareDownload, WireStaysAsRecorded) {
    Download d(imageBytes(2 * 128 + 9));
    d.dl.StartOrCancelDownload();
    ASSERT_TRUE(d.runToEnd());
    d.pair.runFor(2000);
    expectGolden(QStringLiteral("firmware/golden/download.txt"),
                 d.pair.transcriptText() + d.ui.statuses.join('\n'));
}

TEST(FirmwareDownload, SurvivesNoiseAndDamagedBlocks) {
    for (quint32 seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const QByteArray image = imageBytes(40 * 128 + 64, seed);
        Download d(image);
        NoisyPort port(d.pair.port(), seed);
        port.maxDamagedBlocks = 3;
        FirmwareDriver dl(port, d.pair.scheduler(), d.ui);
        dl.setImageSource({{d.path}, "missing"});
        dl.load();
        dl.StartOrCancelDownload();
        ASSERT_TRUE(d.pair.runUntil(
            [&] {
                port.noisy = dl.conversation().state() == FirmwareConversation::Transfer;
                return d.ui.updated || !d.ui.errors.isEmpty();
            },
            30 * 60 * 1000));
        ASSERT_TRUE(d.ui.errors.isEmpty()) << d.ui.errors.join('\n').toStdString();
        EXPECT_EQ(d.pair.instrument().shell().file("melto.exe"), padded(image));
        EXPECT_GT(port.noiseBytes, 0);
        EXPECT_GT(port.damagedBlocks, 0);
        EXPECT_GE(dl.conversation().sender()->blocksRepeated(), port.damagedBlocks);
    }
}

TEST(FirmwareDownload, AMissingEmptyOrOversizedImageIsRefusedBeforeAnythingIsSent) {
    struct Case {
        qint64 size;  // -1: no file
        QString message;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("melto.exe");
    const auto tooLarge = [&](const QString& size) {
        return "The firmware image '" + path + "' holds " + size +
               " bytes; the instrument can take at most 655,360 bytes, so this cannot be its "
               "firmware. Nothing has been sent to the instrument.";
    };
    const Case cases[] = {{-1, firmware::missingImageMessage(dir.path())},
                          {0, firmware::emptyImageMessage(path)},
                          {655361, tooLarge("655,361")},
                          {200'000'000, tooLarge("200,000,000")}};
    for (const Case& c : cases) {
        PairHarness pair;
        RecordingUi ui;
        FirmwareDriver dl(pair.port(), pair.scheduler(), ui);
        if (c.size >= 0) {
            QFile image(path);
            ASSERT_TRUE(image.open(QIODevice::WriteOnly) && image.resize(c.size));  // sparse
        }
        dl.setImageSource(programImageSource(dir.path(), dir.path()));
        dl.load();
        dl.StartOrCancelDownload();
        pair.runFor(20000);
        EXPECT_EQ(ui.notices, QStringList{c.message});
        EXPECT_TRUE(ui.announced.isEmpty());
        EXPECT_TRUE(pair.line().transcript().empty());
        EXPECT_EQ(ui.caption, firmware::kStartCaption);
        EXPECT_TRUE(dl.started());  // Done will ask for a reboot
    }
}

TEST(FirmwareDownload, TheImageIsLookedForInTheProgramFolderThenTheUserFolder) {
    const FirmwareImageSource s = programImageSource("/opt/vantorix", "/home/u/Documents/Vantorix");
    EXPECT_EQ(s.candidates,
              (QStringList{"/opt/vantorix/melto.exe", "/home/u/Documents/Vantorix/melto.exe"}));
    EXPECT_EQ(s.missingMessage,
              "Please place the file 'melto.exe' into the directory "
              "'/home/u/Documents/Vantorix',  and try again.");
    EXPECT_EQ(programImageSource("/a", "/a").candidates, QStringList{"/a/melto.exe"});
}

// A port whose far end is scripted by the test.
class ScriptedPort : public SerialPort {
  public:
    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void setPortName(const QString&) override {}
    QString portName() const override { return {}; }
    void setSettings(const QString& s) override { settings_ = s; }
    QString settings() const override { return settings_; }
    bool open(QString* e) override {
        if (openFails && e) *e = "no such port";
        open_ = !openFails;
        return open_;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void setInputMode(InputMode) override {}
    void setInputLen(int) override {}
    int bytesWaiting() const override { return int(in.size()); }
    QByteArray read() override {
        if (in.isEmpty()) return {};
        QByteArray b = in.left(1);
        in.remove(0, 1);
        return b;
    }
    bool write(const QByteArray& b) override {
        if (!open_ || writeFails) return false;
        written += b;
        return true;
    }
    void arrive(const QByteArray& b) {
        in += b;
        notifyReady();
    }
    QByteArray in, written;
    bool openFails = false, writeFails = false;

  private:
    QString settings_;
    bool open_ = false;
};

// A small image, loaded and ready to go out on a scripted port in virtual time.
struct ScriptedDownload {
    ScriptedDownload() {
        dl.setImageSource({{writeImage(dir, imageBytes(10))}, "missing"});
        dl.load();
    }
    QTemporaryDir dir;
    VirtualScheduler clock;
    ScriptedPort port;
    RecordingUi ui;
    FirmwareDriver dl{port, clock, ui};
};

TEST(FirmwareDownload, APortThatCannotBeOpenedOrWrittenEndsInIdleWithAMessage) {
    for (const bool openFails : {true, false}) {
        ScriptedDownload d;
        d.port.openFails = openFails;
        d.dl.StartOrCancelDownload();
        if (!openFails) {
            d.clock.runFor(4200);
            d.port.writeFails = true;
            d.port.arrive("B:\\>");
        }
        d.clock.runFor(100);
        ASSERT_EQ(d.ui.errors.size(), 1);
        EXPECT_TRUE(d.ui.errors[0].contains(openFails ? "no such port" : "written"));
        EXPECT_EQ(d.dl.conversation().state(), FirmwareConversation::Idle);
        EXPECT_EQ(d.ui.caption, firmware::kStartCaption);
        EXPECT_TRUE(d.ui.doneEnabled);
        EXPECT_FALSE(d.port.isOpen());
        EXPECT_EQ(d.port.settings(), "2400,n,8,1");
    }
}

// A download closed mid-way (the dialog destroyed, the program shutting down) leaves nothing
// listening on the port: bytes that arrive later wait for whoever reads the port next. A
// download under way gives the port back as the next run expects it.
TEST(FirmwareDownload, NothingListensOnThePortOnceTheDownloadIsGone) {
    for (const char* stage : {"while Q leaves", "mid-transfer", "service panel's port open"}) {
        SCOPED_TRACE(stage);
        const bool servicePanel = stage[0] == 's';
        QTemporaryDir dir;
        PairHarness pair;
        RecordingUi ui;
        auto dl = std::make_unique<FirmwareDriver>(pair.port(), pair.scheduler(), ui);
        dl->setImageSource({{writeImage(dir, imageBytes(100 * 128))}, "missing"});
        dl->load();
        if (servicePanel) {
            dl->setServiceFlag(true);
            ASSERT_TRUE(dl->serviceReopen());
        } else {
            dl->StartOrCancelDownload();
            ASSERT_TRUE(pair.runUntil(
                [&] {
                    return stage[0] == 'w' ||
                           dl->conversation().state() == FirmwareConversation::Transfer;
                },
                60000));
        }
        dl.reset();
        if (!servicePanel) {
            EXPECT_FALSE(pair.port().isOpen());
            EXPECT_EQ(pair.port().settings(), "2400,n,8,1");
            EXPECT_EQ(pair.port().inputMode(), InputMode::Text);
        }
        if (!pair.port().isOpen()) {
            ASSERT_TRUE(pair.port().open());
        }
        pair.line().instrumentLink().send("B:\\>\r\n");
        pair.runFor(1000);
        EXPECT_TRUE(pair.port().waiting().contains("B:\\>\r\n"));
    }
}
