// Cost of turning one display message into a reading and its message line; the instrument
// sends at most one such message per well at 2400 baud (about 4 ms per character).
#include <benchmark/benchmark.h>

#include "measurement/ReadingDecoder.h"
#include "options/WellSelection.h"

using namespace vantorix;

static void BM_DecodeReading(benchmark::State& state) {
    const QString message = QStringLiteral("Reading: H, 12 = 1234567");
    for (auto _ : state) {
        auto r = decodeReading(message);
        benchmark::DoNotOptimize(r);
        QString line = readingMessageLine(message, r->value);
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_DecodeReading);

static void BM_ParseWellList(benchmark::State& state) {
    const QString list = QStringLiteral("A1-A12,B2,C3-D4,E5,F6-F12,G1,H1-H12");
    WellMatrix wells{};
    for (auto _ : state) {
        bool ok = parseWellList(list, wells);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ParseWellList);

BENCHMARK_MAIN();
