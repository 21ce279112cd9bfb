// Arbitrary instrument bytes, in arbitrary read splits, fed to a run's reception after a
// normal handshake and acknowledgement. The run must end by itself (silence polls, then the
// question answered Cancel) without crashing or writing outside its tables.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>

#include "kernel/ProgramState.h"
#include "kernel/Scheduler.h"
#include "measurement/RunSequence.h"
#include "serial/SerialPort.h"

using namespace vantorix;

namespace {

// A port whose far end answers "START" and "}" and then plays the fuzzer's bytes.
class ScriptPort : public SerialPort {
  public:
    explicit ScriptPort(VirtualScheduler& s) : s_(s) {}
    std::deque<QByteArray> chunks;

    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void setPortName(const QString&) override {}
    QString portName() const override { return QStringLiteral("fuzz"); }
    void setSettings(const QString&) override {}
    QString settings() const override { return QStringLiteral("2400,n,8,1"); }
    bool open(QString*) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void setInputMode(InputMode) override {}
    void setInputLen(int) override {}
    int bytesWaiting() const override { return static_cast<int>(in_.size()); }
    QByteArray read() override { return std::exchange(in_, {}); }
    bool write(const QByteArray& bytes) override {
        if (bytes.startsWith("START")) deliver("O\r\n", 20);
        if (bytes.startsWith("}")) {
            deliver("X\r\n", 20);
            for (qint64 t = 50; !chunks.empty(); t += 37) {
                deliver(chunks.front(), t);
                chunks.pop_front();
            }
        }
        return true;
    }

  private:
    void deliver(QByteArray bytes, qint64 after_ms) {
        s_.callAfter(after_ms, [this, bytes] {
            in_ += bytes;
            notifyReady();
        });
    }
    VirtualScheduler& s_;
    QByteArray in_;
    bool open_ = false;
};

class QuietFrontEnd : public RunFrontEnd {
  public:
    QString path;
    void askDataFileName(const QString&, const QString&, std::function<void(QString)> a) override {
        a(path);
    }
    void askRetryCancel(const QString&, const QString&, std::function<void(bool)> a) override {
        a(false);
    }
    void askOkCancel(const QString&, std::function<void(bool)> a) override { a(true); }
    void notify(const QString&) override {}
    void reportError(const QString&) override {}
    void setStatusLine(const QString&, bool) override {}
    void setMessageLine(const QString&, bool) override {}
    void setStartCancelCaption(const QString&) override {}
    void setCell(int, int, const QString&) override {}
};

// The program state for one input. The table of readings is allocated once: allocating and
// clearing its 33,000 cells for every input cost more than the run itself. A run of one
// dataset touches only set 1 (slot 0 takes anything out of range), so only those are reset.
ProgramState& freshState() {
    static ProgramState state;
    static const ProgramState pristine = [] {
        ProgramState p;
        Readings gone = std::move(p.readings);  // leaves p.readings empty: copies cost nothing
        return p;
    }();
    Readings table = std::move(state.readings);
    state = pristine;
    state.readings = std::move(table);
    for (int set = 0; set <= 2; ++set)
        for (int r = 0; r < Readings::kRowSlots; ++r)
            for (int c = 0; c < Readings::kColumnSlots; ++c) state.readings.at(set, r, c) = {};
    return state;
}

}  // namespace

// A run makes thousands of small allocations; AddressSanitizer's defaults (fill every new block,
// keep 256 MB of freed memory in quarantine) made them cost more than the run itself. Bounds
// checking is unchanged. ASAN_OPTIONS still overrides these.
extern "C" const char* __asan_default_options() {
    return "max_malloc_fill_size=0:quarantine_size_mb=16:malloc_context_size=4";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A run that completes a dataset saves it and reads it back; in memory-backed storage
    // the save's durability call costs nothing, so the inputs, not the disk, set the pace.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                                       : QDir::tempPath() + "/fuzz-XXXXXX");
    VirtualScheduler scheduler;
    ScriptPort port(scheduler);
    // The first byte of each piece gives the length of the read that follows it.
    for (size_t i = 0; i < size;) {
        const size_t len = 1 + data[i] % 64;
        const size_t start = i + 1;
        const size_t n = std::min(len, size - std::min(size, start));
        port.chunks.emplace_back(reinterpret_cast<const char*>(data + start), qsizetype(n));
        i = start + n;
    }
    ProgramState& state = freshState();
    state.DataFolder = state.AppFolder = dir.path();
    QuietFrontEnd ui;
    ui.path = dir.filePath(QStringLiteral("fuzz.ovd"));
    RunSequence run(state, port, scheduler, ui, [] { return QDateTime(); });
    run.start();
    scheduler.runUntil([&] { return !run.running(); }, 2'000'000);
    if (run.running()) __builtin_trap();  // a run that never ends is a fault
    return 0;
}
