// The conversation fed directly: bytes and times in, lines and readings out, no port and no
// scheduler. Whole runs are guarded by the run and golden tests; these pin how reception
// reacts to bytes however they are split and to time passing without bytes.
#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>

#include "measurement/InstrumentConversation.h"
#include "plate/PlateDocument.h"

using namespace vantorix;

namespace {

struct Piece {
    qint64 at_ms;
    QByteArray bytes;  // "" = only time passes
};

// Reception of dataset 1 fed the pieces; the lines sent ("G@4001") and the readings reported
// ("A1=12345@0"), in order.
QStringList receive(const std::vector<Piece>& pieces) {
    RunState run;
    const RunOptions options;
    InstrumentConversation conv(run, options, 0);
    conv.beginReception(0);
    QStringList seen;
    const auto drain = [&](qint64 now) {
        while (auto out = conv.takeOutput()) {
            if (out->kind == ConversationOutput::Kind::Send)
                seen << out->text + QStringLiteral("@%1").arg(now);
            if (out->kind == ConversationOutput::Kind::Reading)
                seen << QStringLiteral("%1%2=%3@%4")
                            .arg(QChar('A' + out->row - 1))
                            .arg(out->column)
                            .arg(out->value, out->time);
        }
    };
    drain(0);
    for (const Piece& p : pieces) {
        if (!p.bytes.isEmpty()) conv.feed(p.bytes, p.at_ms);
        conv.advance(p.at_ms);
        drain(p.at_ms);
    }
    return seen;
}

}  // namespace

TEST(InstrumentConversation, ReceptionReactsToBytesAndToSilence) {
    struct Case {
        const char* name;
        std::vector<Piece> pieces;
        QStringList expected;
    };
    const Case cases[] = {
        {"nothing before the silence deadline", {{4000, ""}}, {}},
        {"silence polls", {{4001, ""}, {8001, ""}}, {"G@4001", "G@8001"}},
        {"a poll answers at once", {{20, "&"}}, {"G@20"}},
        {"a reading, then its time",
         {{30, "<Reading: A, 1 = 12345>"}, {2600, "<Reading: H, 12 = 7>"}},
         {"A1=12345@0", "H12=7@3"}},
        {"off the plate is dropped", {{30, "<Reading: J, 1 = 5><Reading: B, 13 = 5>"}}, {}},
        {"bytes reset the silence", {{3000, "&"}, {4001, ""}, {7001, ""}}, {"G@3000", "G@7001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(receive(c.pieces), c.expected);
    }
}

// However the line splits a message, it gives the one reading.
TEST(InstrumentConversation, ReadingSplitAtEveryByteGivesOneReading) {
    const QByteArray message = "&<Reading: C, 7 = 4711>";
    for (qsizetype cut = 1; cut < message.size(); ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(receive({{10, message.left(cut)}, {20, message.mid(cut)}}),
                  (QStringList{"G@10", "C7=4711@0"}));
    }
}

// A flood without the instrument's structure is held within a bound whatever the reception
// waits for (the next mark, the end of a display message, the end of a block), and a message
// that never ends is dropped, so the reading after it still counts.
TEST(InstrumentConversation, FloodsAreHeldWithinABound) {
    for (const char* opening : {"", "<", "["}) {
        SCOPED_TRACE(opening);
        RunState run;
        const RunOptions options;
        InstrumentConversation conv(run, options, 0);
        conv.beginReception(0);
        conv.feed(opening, 1);
        const QByteArray flood(1 << 20, 'a');
        qsizetype most = 0;
        for (int i = 0; i < 32; ++i) {
            conv.feed(flood, 2 + i);
            most = std::max(most, conv.bufferedBytes());
            conv.advance(2 + i);
            while (conv.takeOutput()) {
            }
            most = std::max(most, conv.bufferedBytes());
        }
        EXPECT_LE(most, 2 * InstrumentConversation::kMaxBufferedBytes);  // inbox and pending
        if (QByteArray(opening) == "[") continue;  // the block goes on until its "]"
        conv.feed("<Reading: B, 3 = 4711>", 100);
        conv.advance(100);
        bool read = false;
        while (auto out = conv.takeOutput())
            read = read || (out->kind == ConversationOutput::Kind::Reading && out->value == "4711");
        EXPECT_TRUE(read);
    }
}
