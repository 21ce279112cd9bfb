// The sending side of the transfer: its answers to the receiver's bytes, and a whole image
// sent to lrzsz's rx, a receiver written elsewhere.
#include "firmware/XmodemSender.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "FirmwareTestSupport.h"
#include "firmware/Xmodem.h"
#include "serial/QtSerialPort.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

constexpr char kNak = 21, kAck = 6, kCan = 24;

QByteArray blockOf(const QByteArray& image, int index) {
    return xmodem::block(quint8(index + 1), padded(image).mid(index * 128, 128));
}

}  // namespace

TEST(XmodemSender, StartsOnNakSendsOnAckAndEndsWithEotEotCrLf) {
    QTemporaryDir dir;
    const QByteArray image = imageBytes(129);
    XmodemSender sender(writeImage(dir, image));
    // Noise, even an ACK, before the receiver's first NAK is nothing to answer.
    for (char c : QByteArray("B:\\>\x06xyz")) EXPECT_EQ(sender.feed(c), QByteArray());
    EXPECT_EQ(sender.feed(kNak), blockOf(image, 0));
    EXPECT_EQ(sender.progressText(), "99%");
    EXPECT_EQ(sender.feed('?'), QByteArray());  // noise during the transfer
    EXPECT_EQ(sender.feed(kAck), blockOf(image, 1));
    EXPECT_EQ(blockOf(image, 1).mid(4, 127), QByteArray(127, char(26)));
    EXPECT_EQ(sender.progressText(), "100%");  // the padding is not counted as image
    EXPECT_EQ(sender.feed(kAck), QByteArray("\x04\x04\r\n"));
    EXPECT_EQ(sender.phase(), XmodemSender::Phase::Done);
    EXPECT_EQ(sender.feed(kAck), QByteArray());
    EXPECT_EQ(sender.feed(kNak), QByteArray("\x04"));  // the receiver wants the EOT again
}

TEST(XmodemSender, ANakRepeatsTheLastBlockUpToTheLimit) {
    QTemporaryDir dir;
    const QByteArray image = imageBytes(300);
    XmodemSender sender(writeImage(dir, image));
    sender.feed(kNak);
    EXPECT_EQ(sender.feed(kAck), blockOf(image, 1));
    for (int i = 0; i < XmodemSender::kMaxRepeats; ++i)
        ASSERT_EQ(sender.feed(kNak), blockOf(image, 1)) << i;
    EXPECT_EQ(sender.feed(kAck), blockOf(image, 2));  // an ACK resets the count
    for (int i = 0; i < XmodemSender::kMaxRepeats; ++i) sender.feed(kNak);
    EXPECT_EQ(sender.feed(kNak), QByteArray());
    EXPECT_EQ(sender.phase(), XmodemSender::Phase::Failed);
    EXPECT_TRUE(sender.failure().contains("block 3")) << sender.failure().toStdString();
}

TEST(XmodemSender, CanCanFromTheReceiverEndsTheTransferButOneCanIsNoise) {
    QTemporaryDir dir;
    XmodemSender sender(writeImage(dir, imageBytes(1000)));
    sender.feed(kNak);
    sender.feed(kCan);
    EXPECT_EQ(sender.phase(), XmodemSender::Phase::Sending);
    EXPECT_FALSE(sender.feed(kAck).isEmpty());
    sender.feed(kCan);
    sender.feed(kCan);
    EXPECT_EQ(sender.phase(), XmodemSender::Phase::Failed);
}

TEST(XmodemSender, AnImageRemovedBeforeTheFirstNakFailsWithItsName) {
    QTemporaryDir dir;
    const QString path = writeImage(dir, imageBytes(10));
    XmodemSender sender(path);
    QFile::remove(path);
    EXPECT_EQ(sender.feed(kNak), QByteArray());
    EXPECT_EQ(sender.phase(), XmodemSender::Phase::Failed);
    EXPECT_TRUE(sender.failure().contains(path));
}

// lrzsz's rx on a pseudo-terminal made by socat; rx gets plain pipes, not a terminal of its
// own, so it does not flush what it has not read yet.
TEST(XmodemSender, LrzszRxReceivesTheImageWithItsPadding) {
    test::ensureApp();
    QTemporaryDir dir;
    const QByteArray image = imageBytes(200 * 1024 + 77);
    const QString imagePath = writeImage(dir, image, "image.bin");
    const QString link = dir.filePath("xm");

    QProcess socat;
    socat.setWorkingDirectory(dir.path());
    socat.start("socat", {"PTY,raw,echo=0,link=" + link, "EXEC:rx -X -b -t 50 recv.bin"});
    ASSERT_TRUE(socat.waitForStarted(5000)) << "socat is needed (scripts/setup installs it)";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(link); }, 5000));

    QtSerialPort port;
    port.setPortName(QFileInfo(link).canonicalFilePath());
    port.setSettings("9600,n,8,1");
    port.setInputMode(InputMode::Binary);
    QString error;
    ASSERT_TRUE(port.open(&error)) << error.toStdString();
    XmodemSender sender(imagePath);
    // Answer each byte as it arrives (no polling, which would slow every block down).
    QEventLoop loop;
    const auto answering = port.onReady([&] {
        for (char c : port.read()) {
            const QByteArray out = sender.feed(c);
            if (!out.isEmpty()) port.write(out);
        }
        if (sender.phase() == XmodemSender::Phase::Failed) loop.quit();
    });
    // rx answers the last EOT after about a second, then exits.
    QObject::connect(&socat, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    const bool done = socat.state() == QProcess::NotRunning;
    ASSERT_TRUE(done) << socat.readAllStandardError().toStdString();
    ASSERT_EQ(sender.phase(), XmodemSender::Phase::Done) << sender.failure().toStdString();
    port.close();
    EXPECT_EQ(socat.exitCode(), 0) << socat.readAllStandardError().toStdString();
    const QByteArray received = readFileBytes(dir.filePath("recv.bin"));
    EXPECT_EQ(received.size(), padded(image).size());
    EXPECT_TRUE(received == padded(image));
    EXPECT_EQ(sender.blocksRepeated(), 0);
}
