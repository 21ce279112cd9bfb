// Reception of one dataset: the "&"/"G" exchange, display messages with their readings, the
// dataset block, and the polls after silence. Bytes are handled as a stream, so however the
// line splits its reads, no reading, "&" or "[" is lost.
#include <cmath>
#include <cstring>

#include "measurement/ReadingDecoder.h"
#include "measurement/RunAwaiters.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"
#include "results/CellText.h"

namespace vantorix {

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

Task<bool> RunSequence::awaitDataset() {
    touchSilence();
    touchActivity();
    state_.Receiving = true;
    int counter = kSilencePolls;
    bool complete = false;
    while (state_.RunActive && !portFailed_ && !complete) {
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
        if (!state_.RunActive || portFailed_) break;
        co_await waitUntil((state_.SilenceTimer + kSilencePoll_s) * 1000 + 1, true, true);
    }
    state_.Receiving = false;
    co_return complete;
}

Task<> RunSequence::silenceCheck(int& counter) {
    if (timer() - state_.SilenceTimer > kSilencePoll_s && counter > 0) {
        send(QStringLiteral("G"));
        touchSilence();
        if (--counter > 0) co_return;
    }
    if (counter > 0) co_return;
    const bool retry = co_await askRetryCancel(QString::fromLatin1(kNotRespondingText));
    if (!retry) doCancel();
    counter = kSilencePolls;
    touchSilence();
}

Task<> RunSequence::readDisplayMessage() {
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
        if (timer() - state_.SilenceTimer > kMessageTimeout_s || !state_.RunActive || portFailed_) {
            pending_.clear();  // an unfinished message is dropped
            co_return;
        }
        co_await waitUntil((state_.SilenceTimer + kMessageTimeout_s) * 1000 + 1, true, false);
        if (port_.isOpen() && port_.bytesWaiting() > 0) {
            readOnce();
            touchActivity();
        }
    }
}

void RunSequence::handleMessage(const QString& text) {
    QString line = text + u' ';
    if (auto version = firmwareVersionOf(text)) state_.FirmwareVersion = *version;
    if (text.contains(QLatin1String("Reading:"))) {
        const auto reading = decodeReading(text);
        // A reading off the plate (row outside A-H, column outside 1-12) is dropped.
        if (reading && onPlate(*reading)) {
            Reading& cell = state_.readings.at(state_.RunSet, reading->row, reading->column);
            cell.Value = reading->value;
            if (state_.RunStartTime == -1) {
                state_.RunStartTime = wholeSeconds();
                cell.Time = QStringLiteral("0");
            } else {
                cell.Time = QString::number(std::llround(timer() - double(state_.RunStartTime)));
            }
            line = readingMessageLine(text, reading->value);
            const bool selected =
                state_.CurrentOptions.SelectedWells[reading->row - 1][reading->column - 1];
            ui_.setCell(reading->row, reading->column, runCellText(reading->value, selected));
            journalReading(reading->row, reading->column, cell);
        } else if (reading) {
            line = ignoredReadingLine(text);
        }
    }
    ui_.setMessageLine(line, true);
}

Task<bool> RunSequence::receiveBlock() {
    NoEvents quiet(*this);
    touchSilence();  // the start of a block is a sign of life
    qsizetype end = pending_.indexOf(']');
    if (end >= 0) {
        pending_.remove(0, end + 1);
        co_return true;
    }
    ui_.setMessageLine(QString(), false);
    ui_.setStatusLine(datasetText("Receiving data", "Receiving "), true);
    enterPhase(RunPhase::Receiving);
    ui_.setBusyCursor(true);
    qint64 lastChunk = scheduler_.now_ms();
    bool complete = false;
    for (;;) {
        if (scheduler_.now_ms() - lastChunk > kBlockStall_ms) break;
        end = pending_.indexOf(']');
        if (end >= 0) {
            pending_.remove(0, end + 1);  // what follows the block is the next input
            complete = true;
            break;
        }
        if (port_.isOpen() && port_.bytesWaiting() > 0) {
            readOnce();
            lastChunk = scheduler_.now_ms();
            touchSilence();
            continue;
        }
        if (portFailed_) break;
        co_await waitUntil(lastChunk + kBlockStall_ms + 1, true, false);
    }
    if (!complete) pending_.clear();  // the block's text is never interpreted
    ui_.setBusyCursor(false);
    co_return complete;
}

void RunSequence::showDatasetInGrid() {
    const RunOptions& o = state_.CurrentOptions;
    for (int row = 1; row <= kPlateRows; ++row) {
        for (int column = 1; column <= kPlateColumns; ++column) {
            const QString& value = state_.readings.at(state_.RunSet, row, column).Value;
            ui_.setCell(row, column, runCellText(value, o.SelectedWells[row - 1][column - 1]));
            touchActivity();
        }
    }
}

}  // namespace vantorix
