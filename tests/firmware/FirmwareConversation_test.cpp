// The download's conversation on its own, in virtual time: bytes and times go in by hand,
// what it asks for is written down as it would be carried out.
#include "firmware/FirmwareConversation.h"

#include <gtest/gtest.h>

#include <functional>

#include "FirmwareTestSupport.h"

using namespace vantorix;
using namespace vantorix::test;
using Kind = FirmwareOutput::Kind;

namespace {

// Drives the conversation as the driver does, with a clock of its own.
struct Talk {
    Talk() {
        path = writeImage(dir, imageBytes(2 * 128 + 9));
        conv.begin(path, false, 0);
        take();
    }
    // Wakes it whenever a wake is due or a deadline up to `until` is reached.
    void runUntil(qint64 until) {
        for (;;) {
            const std::optional<qint64> deadline = conv.nextDeadline();
            if (!conv.wakeDue() && (!deadline || *deadline > until)) break;
            if (!conv.wakeDue()) now = *deadline;
            conv.advance(now);
            take();
        }
        now = until;
    }
    void arrive(const QByteArray& bytes) {
        conv.feed(bytes);
        conv.advance(now);
        take();
        runUntil(now);
    }
    void take() {
        while (const std::optional<FirmwareOutput> out = conv.takeOutput()) log << text(*out);
    }
    // One line per output.
    static QString text(const FirmwareOutput& o) {
        switch (o.kind) {
            case Kind::OpenLine:
                return "open " + o.text;
            case Kind::Send:
                return o.bytes.size() == 132 ? QString("> block %1").arg(quint8(o.bytes[1]))
                                             : "> " + QString::fromLatin1(o.bytes);
            case Kind::CloseLine:
                return QString("close after %1").arg(o.after_ms);
            case Kind::Preparing:
                return "preparing";
            case Kind::ReceiverReady:
                return "receiver ready";
            case Kind::BlockSent:
                return QString("sent block %1, %2").arg(o.block).arg(o.text);
            case Kind::Finishing:
                return "finishing";
            case Kind::Finished:
                break;
        }
        return o.outcome == FirmwareOutput::Outcome::Updated     ? QString("updated")
               : o.outcome == FirmwareOutput::Outcome::Cancelled ? QString("cancelled")
                                                                 : "failed: " + o.text;
    }
    // What was asked for since the last call, repeats of a line dropped.
    QStringList said() {
        QStringList out;
        for (const QString& line : std::exchange(log, {}))
            if (out.isEmpty() || out.last() != line) out << line;
        return out;
    }
    // From the start to the transfer: the prompt, the receiver's 3 s, its first NAK.
    void toFirstBlock() {
        runUntil(4064);
        arrive("B:\\>");
        arrive("Receiving melto.exe...");
        runUntil(7065);
        arrive("\x15");
        said();
    }

    QTemporaryDir dir;
    QString path;
    FirmwareConversation conv;
    qint64 now = 0;
    QStringList log;
};

}  // namespace

TEST(FirmwareConversation, TheShellIsWokenAtItsSpeedsAndAskedForThePromptInTurn) {
    struct Case {
        QByteArray answer;
        bool found;
    };
    const Case cases[] = {
        {"\r\nB:\\>", true}, {"noise B:\\> more", true}, {"\r\nb:\\>", false}, {"B:/>", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        Talk t;
        // "Q" takes 13 ms at 2400 baud, then 50 ms more before the line changes speed.
        EXPECT_EQ(t.said(), (QStringList{"open 2400,n,8,1", "> Q\r\n"}));
        EXPECT_EQ(t.conv.nextDeadline(), 63);
        t.runUntil(62);
        EXPECT_TRUE(t.said().isEmpty());
        t.runUntil(1000);
        EXPECT_EQ(t.said(),
                  (QStringList{"open 9600,n,8,1", "> \r\n\r\n", "preparing", "> b:\r\n"}));
        t.arrive("B:\\>");  // while the shell settles (4 s), what it says is dropped
        t.runUntil(4063);
        EXPECT_TRUE(t.said().isEmpty());
        t.runUntil(4064);
        EXPECT_EQ(t.said(), QStringList{"> \r\n"});
        // A wake with nothing new, at once or a second time, does nothing.
        t.conv.advance(4064);
        t.conv.advance(4064);
        EXPECT_FALSE(t.conv.takeOutput());
        t.arrive(c.answer);
        if (c.found) {
            EXPECT_EQ(t.said(), QStringList{"> transfer /r melto.exe\r\n"});
            continue;
        }
        EXPECT_TRUE(t.said().isEmpty());
        t.runUntil(10063);  // no prompt within 10 s of "b:": a new attempt
        EXPECT_TRUE(t.said().isEmpty());
        t.runUntil(10064);
        EXPECT_EQ(t.said(), (QStringList{"preparing", "> b:\r\n"}));
    }
}

TEST(FirmwareConversation, TheReceiverGetsItsTimeThenTheBlocksAndMeltoFollow) {
    Talk t;
    t.runUntil(4064);
    t.arrive("B:\\>");
    t.said();
    t.arrive("Receiving melto.exe...");  // left unread until the receiver has had 3 s
    t.runUntil(7064);
    EXPECT_TRUE(t.said().isEmpty());
    t.runUntil(7065);
    EXPECT_EQ(t.said(), QStringList{"receiver ready"});
    EXPECT_EQ(t.conv.state(), FirmwareConversation::WaitForFirstNak);
    t.arrive("~\x15");  // noise before the first NAK
    t.arrive("\x06");
    t.arrive("\x15");  // the last block again
    t.arrive("\x06");
    EXPECT_EQ(t.said(),
              (QStringList{"> block 1", "sent block 1, 48%", "> block 2", "sent block 2, 96%",
                           "> block 2", "> block 3", "sent block 3, 100%"}));
    t.arrive("\x06");
    t.arrive("\x15");  // a NAK of the end: it is said again
    t.arrive("\x06\r\nB:");
    EXPECT_EQ(t.said(), (QStringList{"> \x04\x04\r\n", "finishing", "> \x04", "finishing"}));
    EXPECT_EQ(t.conv.state(), FirmwareConversation::Finish);
    t.arrive("\\>");  // "melto" takes 8 ms at 9600 baud; the line closes 50 ms after
    EXPECT_EQ(t.said(), (QStringList{"finishing", "> melto\r\n", "close after 58", "updated"}));
    EXPECT_EQ(t.conv.state(), FirmwareConversation::Idle);
    EXPECT_FALSE(t.conv.nextDeadline());
}

TEST(FirmwareConversation, ACancelOrAFailureGivesTheLineBackAndSaysNothingMore) {
    struct Case {
        const char* name;
        std::function<void(Talk&)> act;
        QString end;
    };
    const Case cases[] = {
        {"cancel",
         [](Talk& t) {
             t.conv.cancel();
             t.take();
         },
         "cancelled"},
        {"CAN CAN", [](Talk& t) { t.arrive("\x18\x18"); },
         "failed: The instrument cancelled the transfer."},
        // The block the ACK asked for was not written: nothing after it goes out.
        {"line lost",
         [](Talk& t) {
             t.conv.feed("\x06");
             t.conv.advance(t.now);
             t.conv.lineFailed("the line was closed");
             t.take();
         },
         "failed: the line was closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Talk t;
        t.toFirstBlock();
        c.act(t);
        EXPECT_EQ(t.said(), (QStringList{"close after 0", c.end}));
        EXPECT_FALSE(t.conv.active());
        t.arrive(
            "\x06\x15"
            "B:\\>");
        t.runUntil(100000);
        EXPECT_TRUE(t.said().isEmpty());
    }
}
