// Reception of one dataset: the "&"/"G" exchange, display messages with their readings, the
// dataset block, and the polls after silence. Bytes are handled as a stream, so however the
// line splits its reads, no reading, "&" or "[" is lost.
#include <cmath>
#include <cstring>

#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/ReadingDecoder.h"
#include "measurement/RunTexts.h"
#include "plate/ReadingText.h"
#include "results/CellText.h"

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
    state_.Receiving = true;
    int counter = kSilencePolls;
    bool complete = false;
    while (state_.RunActive && !failed() && !complete) {
        touchActivity();
        readOnce();
        while (!pending_.isEmpty() && !complete && state_.RunActive) {
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
        if (!state_.RunActive || failed()) break;
        co_await waitUntil((state_.SilenceTimer + kSilencePoll_s) * 1000 + 1, true, true);
    }
    state_.Receiving = false;
    co_return complete;
}

Task<> InstrumentConversation::silenceCheck(int& counter) {
    if (timer() - state_.SilenceTimer > kSilencePoll_s && counter > 0) {
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
        if (timer() - state_.SilenceTimer > kMessageTimeout_s || !state_.RunActive || failed() ||
            pending_.size() > kMaxMessageBytes) {
            pending_.clear();  // an unfinished message is dropped
            co_return;
        }
        co_await waitUntil((state_.SilenceTimer + kMessageTimeout_s) * 1000 + 1, true, false);
        if (bytesWaiting()) {
            readOnce();
            touchActivity();
        }
    }
}

void InstrumentConversation::handleMessage(const QString& text) {
    QString line = text + u' ';
    if (auto version = firmwareVersionOf(text)) state_.document.firmwareVersion = *version;
    if (text.contains(QLatin1String("Reading:"))) {
        const auto reading = decodeReading(text);
        // A reading off the plate (row outside A-H, column outside 1-12) is dropped.
        if (reading && onPlate(*reading)) {
            WellReading& cell =
                state_.document.dataset(state_.RunSet).at(reading->row - 1, reading->column - 1);
            cell.raw = readingFromText(reading->value);
            qint64 seconds = 0;
            if (state_.RunStartTime == -1)
                state_.RunStartTime = wholeSeconds();
            else
                seconds = std::llround(timer() - double(state_.RunStartTime));
            cell.seconds = double(seconds);
            line = readingMessageLine(text, reading->value);
            const bool selected =
                state_.CurrentOptions.SelectedWells[reading->row - 1][reading->column - 1];
            ConversationOutput o{Kind::Reading, runCellText(cell.raw, selected)};
            o.set = state_.RunSet;
            o.row = reading->row;
            o.column = reading->column;
            o.value = reading->value;  // as sent: the journal keeps it so
            o.time = QString::number(seconds);
            out_.push_back(std::move(o));
        } else if (reading) {
            line = ignoredReadingLine(text);
        }
    }
    put(Kind::MessageLine, line, true);
}

Task<bool> InstrumentConversation::receiveBlock() {
    NoEvents quiet(*this);
    touchSilence();  // the start of a block is a sign of life
    qsizetype end = pending_.indexOf(']');
    if (end >= 0) {
        pending_.remove(0, end + 1);
        co_return true;
    }
    put(Kind::MessageLine, QString(), false);
    put(Kind::StatusLine, datasetText("Receiving data", "Receiving "), true);
    enterPhase(RunPhase::Receiving);
    put(Kind::BusyCursor, QString(), true);
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
    put(Kind::BusyCursor, QString(), false);
    co_return complete;
}

void InstrumentConversation::showDatasetInGrid() {
    touchActivity();
    ConversationOutput o{Kind::DatasetShown};
    o.set = state_.RunSet;
    out_.push_back(std::move(o));
}

}  // namespace vantorix
