// Drives a simulated instrument directly (no line in between) in virtual time and records
// what it writes; every input can be fed whole, byte by byte, or with trailing data.
#pragma once

#include <QByteArray>
#include <QList>
#include <ostream>
#include <set>

#include "kernel/Scheduler.h"
#include "simulator/MemoryLine.h"
#include "simulator/SimulatedInstrument.h"

namespace vantorix::sim::test {

enum class Shape { Whole, ByteByByte, Trailing };
inline const Shape kShapes[] = {Shape::Whole, Shape::ByteByByte, Shape::Trailing};
inline const char* shapeName(Shape s) {
    return s == Shape::Whole ? "whole" : s == Shape::ByteByByte ? "byte by byte" : "trailing";
}

// 108 lines, CR LF each: "{", the 96 wells, 8 parameters, reaction, sensitivity, "}".
inline QByteArray optionsBlock(const std::set<int>& wells, int reaction = 1) {
    QByteArray b = "{\r\n";
    for (int i = 0; i < 96; ++i) b += wells.count(i) ? "1\r\n" : "0\r\n";
    for (int i = 0; i < 8; ++i) b += "0\r\n";
    b += QByteArray::number(reaction) + "\r\n0\r\n}\r\n";
    return b;
}

// The entries of list that contain needle.
inline QList<QByteArray> containing(const QList<QByteArray>& list, const char* needle) {
    QList<QByteArray> out;
    for (const QByteArray& item : list)
        if (item.contains(needle)) out << item;
    return out;
}

}  // namespace vantorix::sim::test

namespace vantorix::sim {
inline void PrintTo(const TimedLine& line, std::ostream* os) {
    *os << "{" << line.time_ms << ", \"" << line.text.toStdString() << "\"}";
}
}  // namespace vantorix::sim

namespace vantorix::sim::test {

struct Write {
    qint64 time_ms;
    QByteArray bytes;
};

class Recorder : public InstrumentLink {
  public:
    explicit Recorder(Scheduler& s) : scheduler_(s) {}
    void send(const QByteArray& bytes) override { writes.append({scheduler_.now_ms(), bytes}); }
    void hangUp() override { hungUpAt = scheduler_.now_ms(); }
    QByteArray all() const {
        QByteArray out;
        for (const Write& w : writes) out += w.bytes;
        return out;
    }
    QList<Write> writes;
    qint64 hungUpAt = -1;

  private:
    Scheduler& scheduler_;
};

class DirectInstrument {
  public:
    explicit DirectInstrument(Shape shape, SimulatorConfig config = {})
        : shape_(shape), recorder(scheduler), instrument(scheduler, recorder, std::move(config)) {}

    // Feeds at the current virtual time in this fixture's shape. The trailing shape adds the
    // start of a line that is never finished, then continues it on the next feed.
    void feed(const QByteArray& bytes) {
        const qint64 now = scheduler.now_ms();
        if (shape_ == Shape::ByteByByte) {
            for (char c : bytes) instrument.feed(QByteArrayView(&c, 1), now);
        } else if (shape_ == Shape::Trailing) {
            instrument.feed(bytes + "\r\nST", now);
            instrument.feed("\r\n", now);  // ends the stray "ST", a line nobody knows
        } else {
            instrument.feed(bytes, now);
        }
    }
    void run(qint64 ms) { scheduler.runFor(ms); }
    // Answers each "&" with "G" after answerDelay_ms until `ms` have passed.
    void runAnsweringGo(qint64 ms, qint64 answerDelay_ms = 50) {
        const qint64 end = scheduler.now_ms() + ms;
        while (scheduler.now_ms() < end) {
            const qsizetype asked = recorder.all().count('&');
            const qint64 next = scheduler.nextDeadline();
            if (asked > answered_) {
                run(answerDelay_ms);
                feed("G\r\n");
                ++answered_;
            } else if (next < 0 || next > end) {
                scheduler.runUntil(end);
            } else {
                scheduler.runNext();
            }
        }
    }

    VirtualScheduler scheduler;
    Shape shape_;
    Recorder recorder;
    SimulatedInstrument instrument;

  private:
    qsizetype answered_ = 0;
};

}  // namespace vantorix::sim::test
