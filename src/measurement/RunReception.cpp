// Reception of one dataset: the "&"/"G" exchange, display messages with their readings, the
// dataset block, and the polls after silence. Bytes are handled as a stream, so however the
// line splits its reads, no reading, "&" or "[" is lost.
#include <cmath>
#include <cstring>

#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/ReadingDecoder.h"
#include "measurement/RunTexts.h"

namespace vantorix {

using Kind = ConversationOutput::Kind;

namespace {
constexpr qint64 kSilencePoll_s = 4;
constexpr int kSilencePolls = 3;
constexpr qint64 kMessageTimeout_s = 6;
constexpr qint64 kBlockStall_ms = 5000;

qsizetype indexOfAny(const QByteArray& bytes, const char* chars) {
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (std::strchr(chars, bytes[i]) && bytes[i] != '\0') return i;
    return -1;
}
}  // namespace

Task<bool> InstrumentConversation::awaitDataset() {
    touchSilence();
    touchActivity();
    int counter = kSilencePolls;
    bool complete = false;
    while (run_.measuring() && !failed() && !complete) {
        touchActivity();
        readOnce();
        while (!pending_.isEmpty() && !complete && run_.measuring()) {
            const qsizetype at = indexOfAny(pending_, "&<[");
            if (at < 0) {
                pending_.clear();
                break;
            }
            const char c = pending_[at];
            pending_.remove(0, at + 1);
            if (c == '&') {
                send(QStringLiteral("G"));
                touchSilence();
                counter = kSilencePolls;
            } else if (c == '<') {
                co_await readDisplayMessage();
            } else {
                const bool ended = co_await receiveBlock();
                complete = ended;
                if (!complete) break;
            }
        }
        if (complete) break;
        co_await silenceCheck(counter);
        if (!run_.measuring() || failed()) break;
        co_await waitUntil((run_.silenceTime + kSilencePoll_s) * 1000 + 1, true, true);
    }
    co_return complete;
}

Task<> InstrumentConversation::silenceCheck(int& counter) {
    if (timer() - run_.silenceTime > kSilencePoll_s && counter > 0) {
        send(QStringLiteral("G"));
        touchSilence();
        if (--counter > 0) co_return;
    }
    if (counter > 0) co_return;
    const bool retry =
        co_await ask(RunQuestion::NotResponding, QString::fromLatin1(kNotRespondingText));
    if (!retry) takeCancel();
    counter = kSilencePolls;
    touchSilence();
}

Task<> InstrumentConversation::readDisplayMessage() {
    NoEvents quiet(*this);
    for (;;) {
        const qsizetype end = pending_.indexOf('>');
        const qsizetype restart = pending_.indexOf('<');
        if (restart >= 0 && (end < 0 || restart < end)) {
            // A "<" before the end: what came before it was noise, the message starts again.
            pending_.remove(0, restart + 1);
            continue;
        }
        if (end >= 0) {
            const QString text = QString::fromLatin1(pending_.left(end));
            pending_.remove(0, end + 1);
            handleMessage(text);
            co_return;
        }
        // A message far longer than any the instrument sends is noise, dropped like one that
        // never ends.
        if (timer() - run_.silenceTime > kMessageTimeout_s || !run_.measuring() || failed() ||
            pending_.size() > kMaxMessageBytes) {
            pending_.clear();  // an unfinished message is dropped
            co_return;
        }
        co_await waitUntil((run_.silenceTime + kMessageTimeout_s) * 1000 + 1, true, false);
        if (bytesWaiting()) {
            readOnce();
            touchActivity();
        }
    }
}

void InstrumentConversation::handleMessage(const QString& text) {
    QString line = text + u' ';
    if (auto version = firmwareVersionOf(text)) put(Kind::Firmware, *version);
    if (text.contains(QLatin1String("Reading:"))) {
        const auto reading = decodeReading(text);
        // A reading off the plate (row outside A-H, column outside 1-12) is dropped.
        if (reading && onPlate(*reading)) {
            ConversationOutput o{Kind::Reading};
            o.set = run_.set;
            o.row = reading->row;
            o.column = reading->column;
            o.value = reading->value;
            if (run_.startTime == -1) {
                run_.startTime = wholeSeconds();
                o.time = QStringLiteral("0");
            } else {
                o.time = QString::number(std::llround(timer() - double(run_.startTime)));
            }
            setValues_[size_t((reading->row - 1) * kPlateColumns + reading->column - 1)] = o.value;
            line = readingMessageLine(text, reading->value);
            out_.push_back(std::move(o));
        } else if (reading) {
            line = ignoredReadingLine(text);
        }
    }
    put(Kind::Message, line);
}

Task<bool> InstrumentConversation::receiveBlock() {
    NoEvents quiet(*this);
    touchSilence();  // the start of a block is a sign of life
    qsizetype end = pending_.indexOf(']');
    if (end >= 0) {
        pending_.remove(0, end + 1);
        co_return true;
    }
    putPhase(RunPhase::Receiving, run_.set);
    qint64 lastChunk = now_ms_;
    bool complete = false;
    for (;;) {
        if (now_ms_ - lastChunk > kBlockStall_ms) break;
        end = pending_.indexOf(']');
        if (end >= 0) {
            pending_.remove(0, end + 1);  // what follows the block is the next input
            complete = true;
            break;
        }
        pending_.clear();  // the block's text is never interpreted: none of it is kept
        if (bytesWaiting()) {
            readOnce();
            lastChunk = now_ms_;
            touchSilence();
            continue;
        }
        if (failed()) break;
        co_await waitUntil(lastChunk + kBlockStall_ms + 1, true, false);
    }
    if (!complete) pending_.clear();  // the block's text is never interpreted
    put(Kind::BlockEnded);
    co_return complete;
}

}  // namespace vantorix
