// The instrument's command shell, entered from the measurement program with "Q". It talks at
// 9600 baud, starts on drive A and answers every line with a prompt such as "B:\>":
//   "b:"                    -> drive B (any letter and colon)
//   "transfer /r melto.exe" -> "Receiving melto.exe...", then an XMODEM receive (checksum
//                              variant), then the prompt again
//   "melto"                 -> the received image's size and checksum, then the new firmware
//                              starts: the measurement program again, at 2400 baud
// Lines end with CR, LF or both; control bytes in a line are ignored; unknown commands get
// "Bad command or file name".
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <map>
#include <memory>

#include "kernel/Scheduler.h"
#include "simulator/InstrumentLink.h"
#include "simulator/InstrumentMode.h"
#include "simulator/XmodemReceiver.h"

namespace vantorix::sim {

class ShellMode : public InstrumentMode {
  public:
    static constexpr int kShellBaud = 9600;
    static constexpr int kMeasurementBaud = 2400;
    static constexpr int kMaxLineLength_bytes = 128;
    // While waiting for the first block the receiver asks with NAK this often, this many times.
    static constexpr qint64 kStartNakInterval_ms = 1000;
    static constexpr int kStartNakTries = 60;
    // A block that stops arriving for this long is dropped and asked for again.
    static constexpr qint64 kBlockTimeout_ms = 1000;
    static constexpr int kMaxBlockRetries = 10;

    // leave(): "melto" started the received firmware; the instrument goes back to measuring.
    ShellMode(Scheduler& scheduler, InstrumentLink& link, std::function<void()> leave);
    ~ShellMode() override;

    // The line has just switched to the shell: greet with the prompt of drive A.
    void enter();
    void feed(QByteArrayView bytes, qint64 now_ms) override;

    // Files received so far, by upper-case name.
    QByteArray file(const QByteArray& name) const;
    bool receiving() const { return receiver_ != nullptr; }
    // "MELTO.EXE 256 bytes, checksum 0x00001A2B": the size and the 32-bit sum of the bytes.
    static QByteArray imageReport(const QByteArray& name, const QByteArray& data);
    // Offset just after the line end of a line "Q" in bytes (pending holds the start of the
    // current line across calls), or -1 when none ends in them.
    static qsizetype findQuitLine(QByteArray& pending, QByteArrayView bytes);

  private:
    void onLine(const QByteArray& line);
    void startReceive(const QByteArray& name);
    void receiveByte(char byte);
    void finishReceive();
    void armTimer(qint64 delay_ms);
    void onTimer();
    void prompt();
    void send(const QByteArray& bytes) { link_.send(bytes); }

    Scheduler& scheduler_;
    InstrumentLink& link_;
    std::function<void()> leave_;
    char drive_ = 'A';
    QByteArray line_;
    bool lastWasCr_ = true;
    std::map<QByteArray, QByteArray> files_;
    std::unique_ptr<XmodemReceiver> receiver_;
    QByteArray receiveName_;
    int timeouts_ = 0;
    qint64 lastByte_ms_ = 0;
    bool blockTimer_ = false;  // the timer watches a transfer under way, not the start
    Scheduler::TimerId timer_ = 0;
};

}  // namespace vantorix::sim
