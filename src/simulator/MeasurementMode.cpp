#include "simulator/MeasurementMode.h"

#include <limits>

#include "kernel/RunOptions.h"

namespace vantorix::sim {

namespace {

const QByteArray kEol = "\r\n";

char rowLetter(int well) {
    return static_cast<char>('A' + well / kPlateColumns);
}
int columnNumber(int well) {
    return well % kPlateColumns + 1;
}

bool isInt16(const QByteArray& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max();
}

}  // namespace

MeasurementMode::MeasurementMode(Scheduler& scheduler, MessageWriter& writer,
                                 const SimulatorConfig& config)
    : scheduler_(scheduler), writer_(writer), config_(config), model_(config.seed) {}

MeasurementMode::~MeasurementMode() {
    cancelWake();
}

void MeasurementMode::feed(QByteArrayView bytes, qint64 now_ms) {
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!lineTooLong_ && !line_.isEmpty()) onLine(line_.trimmed(), now_ms);
            line_.clear();
            lineTooLong_ = false;
        } else if (line_.size() < kMaxLineLength_bytes) {
            line_.append(c);
        } else {
            lineTooLong_ = true;  // a runaway line is dropped whole, not cut into commands
        }
    }
}

void MeasurementMode::onLine(const QByteArray& line, qint64 now_ms) {
    if (state_ == State::Silent) return;
    if (line == "S") {
        goIdle();
    } else if (line == "START") {
        if (startsSeen_++ < config_.faults.noReady) return;
        goIdle();
        state_ = State::Ready;
        writer_.write((config_.faults.lowerReady ? "ok" : "O") + kEol, now_ms);
    } else if (line == "Z") {
        if (state_ == State::Ready || state_ == State::InBlock) goIdle();
    } else if (state_ == State::Ready && line == "{") {
        state_ = State::InBlock;
        body_.clear();
    } else if (state_ == State::InBlock) {
        if (line == "}") {
            finishBlock(now_ms);
        } else if (body_.size() <= kOptionsBodyLines) {
            body_.append(line);  // one line too many is enough to reject the block
        }
    } else if (state_ == State::AwaitingGo && line == "G") {
        state_ = State::Measuring;
        wakeAt(now_ms + config_.wellTime_ms, &MeasurementMode::sendReading);
    }
}

void MeasurementMode::finishBlock(qint64 now_ms) {
    const bool valid = acceptOptions();
    const bool acknowledged = valid && blocksSeen_++ >= config_.faults.noAck;
    if (!acknowledged) {
        // Stays ready for the "Z" that follows a block without "X"; the block itself is gone.
        state_ = State::Ready;
        return;
    }
    writer_.write("X" + kEol, now_ms);
    state_ = State::StartingDataset;
    wakeAt(now_ms + kStartDelay_ms, &MeasurementMode::startDataset);
}

bool MeasurementMode::acceptOptions() {
    if (body_.size() != kOptionsBodyLines) return false;
    std::vector<int> wells;
    for (int i = 0; i < kWellCount; ++i) {
        if (body_[i] == "1") {
            wells.push_back(i);
        } else if (body_[i] != "0") {
            return false;
        }
    }
    for (int i = kWellCount; i < kOptionsBodyLines; ++i)
        if (!isInt16(body_[i])) return false;
    wells_ = std::move(wells);
    // After the wells: eight flash parameters, then the reaction.
    reaction_ = body_[kWellCount + 8].toInt() == kReactionFlash ? ReadingModel::Reaction::Flash
                                                                : ReadingModel::Reaction::Glow;
    return true;
}

void MeasurementMode::startDataset(qint64 now_ms) {
    values_.clear();
    current_ = 0;
    std::array<bool, kWellCount> selected{};
    for (int well : wells_) selected[size_t(well)] = true;
    model_.startDataset(now_ms, reaction_, selected);
    writer_.write(QByteArray("<Firmware version ") + kFirmwareVersion + ">" + kEol, now_ms);
    wakeAt(now_ms + kMessageGap_ms, &MeasurementMode::sendStatus);
}

void MeasurementMode::sendStatus(qint64 now_ms) {
    writer_.write("<Measuring " + QByteArray::number(qsizetype(wells_.size())) + " wells>" + kEol,
                  now_ms);
    wakeAt(now_ms + kMessageGap_ms, &MeasurementMode::nextWell);
}

void MeasurementMode::nextWell(qint64 now_ms) {
    if (config_.faults.silentAfter >= 0 && readingsSent_ >= config_.faults.silentAfter) {
        state_ = State::Silent;  // a hung instrument: it answers nothing from now on
        return;
    }
    if (current_ >= wells_.size()) {
        sendDatasetBlock(now_ms);
        return;
    }
    state_ = State::AwaitingGo;
    writer_.write("&" + kEol, now_ms);
}

void MeasurementMode::sendReading(qint64 now_ms) {
    const int well = wells_[current_++];
    const qint64 value = model_.read(well, now_ms);
    values_.push_back(value);
    ++readingsSent_;
    writer_.write(readingMessage(well, value), now_ms);
    state_ = State::StartingDataset;
    wakeAt(now_ms + kMessageGap_ms, &MeasurementMode::nextWell);
}

QByteArray MeasurementMode::readingMessage(int well, qint64 value) {
    QByteArray row(1, rowLetter(well));
    QByteArray column = QByteArray::number(columnNumber(well));
    if (readingsSent_ == config_.faults.offPlate) {
        if (writer_.random(2) == 0) {
            row = "J";
        } else {
            column = "13";
        }
    }
    if (readingsSent_ == config_.faults.lowerCase) row = row.toLower();
    return "<Reading: " + row + ", " + column + " = " + QByteArray::number(value) + ">" + kEol;
}

void MeasurementMode::sendDatasetBlock(qint64 now_ms) {
    QByteArray block = "[" + kEol;
    for (size_t i = 0; i < wells_.size(); ++i) {
        block += rowLetter(wells_[i]) + QByteArray(",") +
                 QByteArray::number(columnNumber(wells_[i])) + "," +
                 QByteArray::number(values_[i]) + kEol;
    }
    ++datasetBlocksSent_;
    const bool stall = datasetBlocksSent_ <= config_.faults.stallBlock;
    if (datasetBlocksSent_ == config_.faults.dropOut) {
        writer_.write(block.left(block.size() / 2), now_ms);
        writer_.hangUp(now_ms);
        state_ = State::Silent;
        return;
    }
    writer_.write(stall ? block : block + "]" + kEol, now_ms);
    state_ = State::Idle;
}

void MeasurementMode::wakeAt(qint64 when_ms, void (MeasurementMode::*step)(qint64)) {
    cancelWake();
    wake_ = scheduler_.callAt(when_ms, [this, step] {
        wake_ = 0;
        (this->*step)(scheduler_.now_ms());
    });
}

void MeasurementMode::cancelWake() {
    if (wake_ != 0) scheduler_.cancel(wake_);
    wake_ = 0;
}

void MeasurementMode::goIdle() {
    cancelWake();
    state_ = State::Idle;
    body_.clear();
}

}  // namespace vantorix::sim
