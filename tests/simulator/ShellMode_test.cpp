// The instrument's command shell on the in-memory line: entered with "Q", at 9600 baud,
// its prompt, its XMODEM receiver and the return to measuring after "melto".
#include "simulator/ShellMode.h"

#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"
#include "simulator/PairHarness.h"

using namespace vantorix::sim;

namespace {

QByteArray block(quint8 number, const QByteArray& data) {
    QByteArray b;
    b.append(char(1)).append(char(number)).append(char(255 - number)).append(data);
    quint8 sum = 0;
    for (char c : data) sum += quint8(c);
    return b.append(char(sum));
}

}  // namespace

TEST(ShellMode, PromptsAtNineThousandSixHundredBaudAndReceivesAFile) {
    PairHarness pair;
    ASSERT_TRUE(pair.sendLine("Q"));
    ASSERT_TRUE(pair.runUntilReceived("A:\\>", 1000));
    EXPECT_TRUE(pair.instrument().inShell());
    pair.port().read();
    const qint64 asked = pair.now_ms();
    ASSERT_TRUE(pair.sendLine("b:"));
    ASSERT_TRUE(pair.runUntilReceived("B:\\>", 1000));
    // 4 bytes out and 6 back at 9600 baud: about 10 ms, where 2400 baud would take 42.
    EXPECT_LE(pair.now_ms() - asked, 12);
    ASSERT_TRUE(pair.sendLine("dir"));
    ASSERT_TRUE(pair.runUntilReceived("Bad command or file name\r\nB:\\>", 1000));
    pair.port().read();

    ASSERT_TRUE(pair.sendLine("transfer /r melto.exe"));
    ASSERT_TRUE(pair.runUntilReceived("Receiving melto.exe...\r\n", 1000));
    ASSERT_TRUE(pair.runUntilReceived("\x15", 2000));  // the receiver asks with NAK
    pair.port().read();
    const QByteArray first(128, 'a'), second(128, 'b');
    QByteArray damaged = block(1, first);
    damaged[50] = 'x';
    const struct {
        QByteArray send;
        QByteArray answer;
    } steps[] = {
        {damaged, "\x15"},           // damaged: asked again
        {block(1, first), "\x06"},   // accepted
        {block(1, first), "\x06"},   // a repeat: acknowledged, not kept twice
        {block(2, second), "\x06"},  // accepted
        {"\x04", "\x06"},            // the end
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(pair.port().write(step.send));
        ASSERT_TRUE(pair.runUntil([&] { return pair.port().bytesWaiting() > 0; }, 1000));
        pair.runFor(2);
        EXPECT_TRUE(pair.port().read().startsWith(step.answer));
    }
    ASSERT_TRUE(pair.runUntilReceived("B:\\>", 1000));
    EXPECT_EQ(pair.instrument().shell().file("MELTO.EXE"), first + second);

    ASSERT_TRUE(pair.sendLine("melto"));
    ASSERT_TRUE(pair.runUntilReceived(ShellMode::imageReport("MELTO.EXE", first + second), 1000));
    EXPECT_FALSE(pair.instrument().inShell());
    pair.runFor(500);
    pair.port().read();
    ASSERT_TRUE(pair.sendLine("START"));  // measuring again, at 2400 baud
    ASSERT_TRUE(pair.runUntilReceived("O", 1000));
}

TEST(ShellMode, AReceiverNobodySendsToGivesUpAndPromptsAgain) {
    PairHarness pair;
    ASSERT_TRUE(pair.sendLine("Q"));
    pair.runFor(200);
    ASSERT_TRUE(pair.sendLine("transfer /r melto.exe"));
    const qint64 limit = (ShellMode::kStartNakTries + 2) * ShellMode::kStartNakInterval_ms;
    ASSERT_TRUE(pair.runUntilReceived("Transfer aborted\r\nA:\\>", limit));
    EXPECT_EQ(pair.port().waiting().count('\x15'), ShellMode::kStartNakTries);
    EXPECT_FALSE(pair.instrument().shell().receiving());
}

TEST(ShellMode, FindsTheQuitLineInAnyPieces) {
    const QByteArray input = "START\r\nQX\r\nQ\r\nb:";
    for (int cut = 0; cut <= input.size(); ++cut) {
        QByteArray pending;
        const qsizetype a = ShellMode::findQuitLine(pending, QByteArrayView(input).first(cut));
        const qsizetype b =
            a >= 0 ? -1 : ShellMode::findQuitLine(pending, QByteArrayView(input).sliced(cut));
        EXPECT_EQ(a >= 0 ? a : cut + b, 13) << cut;
    }
}
