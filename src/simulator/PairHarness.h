// The program and the simulated instrument on one in-memory line in virtual time.
//
//   PairHarness pair;                      // 2400 baud, seed 1, 500 ms per well, no faults
//   SerialPort& port = pair.port();        // the program's port; open it first
//   port.open();
//   port.write("START\r\n");
//   pair.runFor(100);                      // virtual milliseconds; returns at once
//   port.read();                           // "O\r\n"
//   pair.linesFromProgram();               // {{30, "START"}}: text and time of its last byte
//   std::cout << pair.transcriptText();    // every byte both ways, with its time
//
// Time only moves inside run*(): code under test schedules its waits on scheduler() and
// reacts to the port's ready handler, which fires as bytes arrive.
#pragma once

#include <functional>

#include "kernel/Scheduler.h"
#include "simulator/MemoryLine.h"
#include "simulator/SimulatedInstrument.h"

namespace vantorix::sim {

class PairHarness {
  public:
    explicit PairHarness(SimulatorConfig config = {}, int baud = 2400);

    VirtualScheduler& scheduler() { return scheduler_; }
    // The program's end of the line (closed until opened).
    MemoryPort& port() { return line_.programPort(); }
    MemoryLine& line() { return line_; }
    SimulatedInstrument& instrument() { return instrument_; }
    qint64 now_ms() const { return scheduler_.now_ms(); }

    // Opens the port if needed and writes text + "\r\n" in one write, as the program does.
    bool sendLine(const QByteArray& text);
    // Moves virtual time on by duration_ms, running everything due.
    void runFor(qint64 duration_ms) { scheduler_.runFor(duration_ms); }
    // Runs until done() holds or limit_ms of virtual time have passed; true if done.
    bool runUntil(const std::function<bool()>& done, qint64 limit_ms);
    // Runs until the port has received text containing `needle` (the port's bytes are kept
    // for read()); true if it came within limit_ms.
    bool runUntilReceived(const QByteArray& needle, qint64 limit_ms);

    std::vector<TimedLine> linesFromProgram() const { return line_.lines(Direction::ToInstrument); }
    std::vector<TimedLine> linesFromInstrument() const { return line_.lines(Direction::ToProgram); }
    QString transcriptText() const { return line_.transcriptText(); }

  private:
    VirtualScheduler scheduler_;
    MemoryLine line_;
    SimulatedInstrument instrument_;
};

}  // namespace vantorix::sim
