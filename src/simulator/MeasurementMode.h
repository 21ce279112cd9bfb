// The instrument's measurement program, as the companion program talks to it at 2400 baud:
//   "START"            -> "O" (ready)
//   "{", 106 lines, "}" -> "X" (options accepted), then the dataset:
//      "<Firmware version 2.07>", a status message, and for each selected well in plate
//      order "&", wait for "G", measure, "<Reading: B, 7 = 12345>";
//      finally the dataset block "[" well lines "A,1,12345" "]".
//   "Z" drops a half-received or unacknowledged block; "S" stops whatever runs.
// Commands are lines ended by CR, LF or both; anything else is ignored.
#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

#include "kernel/Scheduler.h"
#include "simulator/InstrumentMode.h"
#include "simulator/MessageWriter.h"
#include "simulator/ReadingModel.h"
#include "simulator/SimulatorConfig.h"

namespace vantorix::sim {

class MeasurementMode : public InstrumentMode {
  public:
    static constexpr const char* kFirmwareVersion = "2.07";
    // Body lines of an options block: 96 wells, 8 parameters, reaction, sensitivity.
    static constexpr int kOptionsBodyLines = 106;
    static constexpr int kMaxLineLength_bytes = 64;
    // The plate carrier moves in after "X" before the first message.
    static constexpr qint64 kStartDelay_ms = 300;
    // The firmware leaves a pause after each message before the next one.
    static constexpr qint64 kMessageGap_ms = 100;

    MeasurementMode(Scheduler& scheduler, MessageWriter& writer, const SimulatorConfig& config);
    ~MeasurementMode() override;

    void feed(QByteArrayView bytes, qint64 now_ms) override;

    enum class State { Idle, Ready, InBlock, StartingDataset, AwaitingGo, Measuring, Silent };
    State state() const { return state_; }

  private:
    void onLine(const QByteArray& line, qint64 now_ms);
    void finishBlock(qint64 now_ms);
    bool acceptOptions();
    void startDataset(qint64 now_ms);
    void sendStatus(qint64 now_ms);
    void nextWell(qint64 now_ms);
    void sendReading(qint64 now_ms);
    void sendDatasetBlock(qint64 now_ms);
    QByteArray readingMessage(int well, qint64 value);
    void wakeAt(qint64 when_ms, void (MeasurementMode::*step)(qint64));
    void cancelWake();
    void goIdle();

    Scheduler& scheduler_;
    MessageWriter& writer_;
    const SimulatorConfig& config_;
    ReadingModel model_;

    State state_ = State::Idle;
    QByteArray line_;
    bool lineTooLong_ = false;
    QList<QByteArray> body_;
    std::vector<int> wells_;      // selected wells of the dataset, plate order
    std::vector<qint64> values_;  // their readings so far
    ReadingModel::Reaction reaction_ = ReadingModel::Reaction::Glow;
    size_t current_ = 0;  // index into wells_
    Scheduler::TimerId wake_ = 0;

    int startsSeen_ = 0;
    int blocksSeen_ = 0;
    int readingsSent_ = 0;
    int datasetBlocksSent_ = 0;
};

}  // namespace vantorix::sim
