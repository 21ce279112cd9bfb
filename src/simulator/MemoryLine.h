// An in-memory serial line between the program's port and the simulated instrument, both
// directions at line speed, recording every byte with its arrival time. The program's end is
// a SerialPort (MemoryPort); the instrument's end is an InstrumentLink.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "kernel/InstrumentLine.h"
#include "serial/SerialPort.h"
#include "simulator/InstrumentLink.h"
#include "simulator/PacedChannel.h"

namespace vantorix::sim {

enum class Direction { ToInstrument, ToProgram };

// One byte as it arrived at the far end.
struct LineByte {
    qint64 time_ms;
    Direction direction;
    char byte;
};

// One line of text (CR and LF stripped) and the time its last byte arrived.
struct TimedLine {
    qint64 time_ms;
    QByteArray text;
    bool operator==(const TimedLine&) const = default;
};

class MemoryLine;

// The program's end of the line. It starts closed; bytes arriving while it is closed are
// lost, as on a real port. After the line is hung up, writes and open() fail.
class MemoryPort : public SerialPort {
  public:
    explicit MemoryPort(MemoryLine& line) : line_(line) {}

    void setPortNumber(int n) override { portNumber_ = n; }
    int portNumber() const override { return portNumber_; }
    void setPortName(const QString& name) override { portName_ = name; }
    QString portName() const override { return portName_; }
    void setSettings(const QString& lineSettings) override { settings_ = lineSettings; }
    QString settings() const override { return settings_; }

    bool open(QString* error = nullptr) override;
    void close() override;
    bool isOpen() const override { return open_; }

    void setInputMode(InputMode mode) override { inputMode_ = mode; }
    InputMode inputMode() const { return inputMode_; }
    void setInputLen(int n) override { inputLen_ = n < 0 ? 0 : n; }
    int bytesWaiting() const override { return static_cast<int>(received_.size()); }
    QByteArray read() override;
    // The bytes waiting, without reading them.
    const QByteArray& waiting() const { return received_; }
    bool write(const QByteArray& bytes) override;

  private:
    friend class MemoryLine;
    void deliver(const QByteArray& bytes);
    void lineClosed();

    MemoryLine& line_;
    int portNumber_ = 1;
    QString portName_;
    QString settings_ = kInstrumentLineSettings;
    InputMode inputMode_ = InputMode::Text;
    int inputLen_ = 0;
    bool open_ = false;
    QByteArray received_;
};

class MemoryLine : private InstrumentLink {
  public:
    using InstrumentSink = std::function<void(QByteArrayView bytes, qint64 now_ms)>;

    explicit MemoryLine(Scheduler& scheduler, int baud = 2400);
    ~MemoryLine() override;

    MemoryPort& programPort() { return port_; }
    InstrumentLink& instrumentLink() { return *this; }
    // Where bytes for the instrument go (SimulatedInstrument::feed).
    void setInstrumentSink(InstrumentSink sink) { instrumentSink_ = std::move(sink); }

    // Cuts the line at once: bytes in flight are lost, an open program port closes and its
    // error handler is told once.
    void close();
    bool isClosed() const { return closed_; }

    const std::vector<LineByte>& transcript() const { return transcript_; }
    QByteArray bytes(Direction direction) const;
    // Lines sent in one direction, each with the time its last byte arrived; a final line
    // without its line end is included.
    std::vector<TimedLine> lines(Direction direction) const;
    // The whole conversation, one line per row: "      1234 > START" (arrival time of the
    // row's last byte in ms; '>' program to instrument, '<' back); control and non-ASCII
    // bytes as \xNN.
    QString transcriptText() const;

  private:
    friend class MemoryPort;
    void send(const QByteArray& bytes) override;  // from the instrument
    void hangUp() override;
    void setBaud(int baud) override;
    void sendToInstrument(const QByteArray& bytes);
    void record(const QByteArray& bytes, Direction direction, qint64 now_ms);

    Scheduler& scheduler_;
    MemoryPort port_;
    PacedChannel toInstrument_;
    PacedChannel toProgram_;
    InstrumentSink instrumentSink_;
    std::vector<LineByte> transcript_;
    bool closed_ = false;
    Scheduler::TimerId hangUpWake_ = 0;
};

}  // namespace vantorix::sim
