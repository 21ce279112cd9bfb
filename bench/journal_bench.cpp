// The run journal's cost per reading: one record appended and made durable (fdatasync), on
// the file system that holds the per-user recovery folder. The instrument delivers a reading
// every half second or so; the journal must stay far below that (target: under 2 ms).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "measurement/RunJournal.h"

using namespace vantorix;

namespace {

void BM_JournalReading(benchmark::State& state) {
    QDir().mkpath(recoveryFolder());
    QTemporaryDir dir(recoveryFolder() + QStringLiteral("/bench-XXXXXX"));
    JournalHeader header;
    header.operatorName = QStringLiteral("Bench");
    RunJournal journal(dir.path());
    if (!journal.begin(header, QDateTime::currentDateTime())) {
        state.SkipWithError("the journal could not be opened");
        return;
    }
    int well = 0;
    for (auto _ : state) {
        if (!journal.recordReading(1 + well / 96 % 255, well / 12 % 8 + 1, well % 12 + 1,
                                   QString::number(100000 + well), QString::number(well / 2))) {
            state.SkipWithError("a record could not be written");
            return;
        }
        ++well;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JournalReading)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
