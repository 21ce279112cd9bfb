#include "simulator/MemoryLine.h"

namespace vantorix::sim {

bool MemoryPort::open(QString* error) {
    if (line_.isClosed()) {
        if (error) *error = QStringLiteral("the in-memory line has been hung up");
        return false;
    }
    open_ = true;
    return true;
}

void MemoryPort::close() {
    open_ = false;
    received_.clear();
}

QByteArray MemoryPort::read() {
    const qsizetype n =
        inputLen_ == 0 ? received_.size() : qMin<qsizetype>(inputLen_, received_.size());
    QByteArray out = received_.left(n);
    received_.remove(0, n);
    return out;
}

bool MemoryPort::write(const QByteArray& bytes) {
    if (!open_ || line_.isClosed()) return false;
    line_.sendToInstrument(bytes);
    return true;
}

void MemoryPort::deliver(const QByteArray& bytes) {
    if (!open_) return;
    received_.append(bytes);
    notifyReady();
}

void MemoryPort::lineClosed() {
    if (!open_) return;
    close();
    notifyError(QStringLiteral("the line was closed by the instrument"));
}

MemoryLine::MemoryLine(Scheduler& scheduler, int baud)
    : scheduler_(scheduler),
      port_(*this),
      toInstrument_(scheduler, baud,
                    [this](const QByteArray& b, qint64 now) {
                        record(b, Direction::ToInstrument, now);
                        if (instrumentSink_) instrumentSink_(b, now);
                    }),
      toProgram_(scheduler, baud, [this](const QByteArray& b, qint64 now) {
          record(b, Direction::ToProgram, now);
          port_.deliver(b);
      }) {}

MemoryLine::~MemoryLine() {
    if (hangUpWake_ != 0) scheduler_.cancel(hangUpWake_);
}

void MemoryLine::send(const QByteArray& bytes) {
    if (!closed_) toProgram_.send(bytes);
}

void MemoryLine::sendToInstrument(const QByteArray& bytes) {
    if (!closed_) toInstrument_.send(bytes);
}

void MemoryLine::hangUp() {
    if (closed_ || hangUpWake_ != 0) return;
    hangUpWake_ = scheduler_.callAt(toProgram_.drainedAt_ms(), [this] {
        hangUpWake_ = 0;
        close();
    });
}

void MemoryLine::setBaud(int baud) {
    toInstrument_.setBaud(baud);
    toProgram_.setBaud(baud);
}

void MemoryLine::close() {
    if (closed_) return;
    closed_ = true;
    toInstrument_.clear();
    toProgram_.clear();
    port_.lineClosed();
}

void MemoryLine::record(const QByteArray& bytes, Direction direction, qint64 now_ms) {
    for (char c : bytes) transcript_.push_back({now_ms, direction, c});
}

QByteArray MemoryLine::bytes(Direction direction) const {
    QByteArray out;
    for (const LineByte& b : transcript_)
        if (b.direction == direction) out.append(b.byte);
    return out;
}

std::vector<TimedLine> MemoryLine::lines(Direction direction) const {
    std::vector<TimedLine> out;
    TimedLine current{0, {}};
    bool open = false;
    for (const LineByte& b : transcript_) {
        if (b.direction != direction) continue;
        if (b.byte == '\n') {
            current.time_ms = b.time_ms;
            out.push_back(current);
            current = {0, {}};
            open = false;
        } else if (b.byte != '\r') {
            current.text.append(b.byte);
            current.time_ms = b.time_ms;
            open = true;
        }
    }
    if (open) out.push_back(current);
    return out;
}

namespace {

QString printable(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) return QString(QLatin1Char(c));
    return QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
}

}  // namespace

QString MemoryLine::transcriptText() const {
    QString out;
    QString row;
    qint64 rowTime = 0;
    Direction rowDirection = Direction::ToInstrument;
    auto flush = [&] {
        if (row.isEmpty()) return;
        out += QStringLiteral("%1 %2 %3\n")
                   .arg(double(rowTime), 10, 'f', 0)
                   .arg(QChar(rowDirection == Direction::ToInstrument ? u'>' : u'<'))
                   .arg(row);
        row.clear();
    };
    for (const LineByte& b : transcript_) {
        if (b.direction != rowDirection) flush();
        rowDirection = b.direction;
        rowTime = b.time_ms;
        if (b.byte == '\n') {
            flush();
        } else if (b.byte != '\r') {
            row += printable(b.byte);
        }
    }
    flush();
    return out;
}

}  // namespace vantorix::sim
