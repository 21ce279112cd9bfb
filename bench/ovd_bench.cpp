// Data-file speed: parsing, parsing and loading, and writing a file of 255 sets.
// Targets: parse at 100 MB/s or more; a 255-set file parsed and loaded in under 5 ms.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "files/OvdWriter.h"
#include "kernel/KeyStore.h"
#include "kernel/ProgramState.h"

using namespace vantorix;

namespace {

// A run of 255 sets with instrument-like readings, written once into a temporary folder.
struct FullFile {
    QTemporaryDir dir;
    ProgramState state;
    QByteArray bytes;

    FullFile() {
        state.DataFileName = QStringLiteral("full.ovd");
        state.FirstSet = 1;
        state.LastSet = kMaxSets;
        for (int set = 1; set <= kMaxSets; ++set)
            for (int r = 1; r <= 8; ++r)
                for (int c = 1; c <= 12; ++c)
                    state.readings.at(set, r, c) = {QString::number(12000 + set * 97 + r * c * 31),
                                                    QString::number(set * 40 + r * 12 + c)};
        if (!WriteDataFile(state, dir.path(), QDateTime::currentDateTime()).ok) std::abort();
        QFile f(dir.filePath(state.DataFileName));
        if (!f.open(QIODevice::ReadOnly)) std::abort();
        bytes = f.readAll();
    }
};

FullFile& fullFile() {
    static FullFile file;
    return file;
}

void BM_ParseInMemory(benchmark::State& st) {
    const QByteArray& bytes = fullFile().bytes;
    KeyStore store;
    for (auto _ : st) {
        if (!parseDataBytes(store, bytes, false)) st.SkipWithError("parse failed");
        benchmark::DoNotOptimize(store.KeyCount());
    }
    st.SetBytesProcessed(st.iterations() * bytes.size());
    st.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ParseInMemory)->Unit(benchmark::kMillisecond);

void BM_ParseDataFile(benchmark::State& st) {
    FullFile& f = fullFile();
    KeyStore store;
    for (auto _ : st)
        if (!ParseDataFile(store, f.dir.path(), false, f.state.DataFileName))
            st.SkipWithError("parse failed");
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_ParseDataFile)->Unit(benchmark::kMillisecond);

void BM_ParseHeaderOnly(benchmark::State& st) {
    FullFile& f = fullFile();
    KeyStore store;
    for (auto _ : st)
        if (!ParseDataFile(store, f.dir.path(), true, f.state.DataFileName))
            st.SkipWithError("parse failed");
}
BENCHMARK(BM_ParseHeaderOnly)->Unit(benchmark::kMillisecond);

void BM_LoadDataFile(benchmark::State& st) {
    FullFile& f = fullFile();
    ProgramState s;
    for (auto _ : st) {
        const LoadResult r = LoadDataFile(s, f.dir.path(), f.state.DataFileName);
        if (!r.ok || r.setsLoaded != kMaxSets) st.SkipWithError("load failed");
    }
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond);

void BM_WriteDataFile(benchmark::State& st) {
    FullFile& f = fullFile();
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : st)
        if (!WriteDataFile(f.state, f.dir.path(), now).ok) st.SkipWithError("write failed");
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_WriteDataFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
