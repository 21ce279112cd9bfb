// Data-file speed: parsing, parsing and loading, and writing a file of 255 sets.
// Targets: parse at 100 MB/s or more; a 255-set file parsed and loaded in under 5 ms.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/KeyStore.h"
#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "files/PlateFile.h"

using namespace vantorix;

namespace {

// A run of 255 sets with instrument-like readings, written once into a temporary folder.
struct FullFile {
    QTemporaryDir dir;
    PlateDocument document;
    QString name = QStringLiteral("full.ovd");
    QByteArray bytes;

    FullFile() {
        for (auto& row : document.options.SelectedWells) row.fill(true);
        for (int set = 1; set <= kMaxSets; ++set) {
            Dataset data;
            for (int w = 0; w < kWellCount; ++w) {
                const int r = w / 12 + 1, c = w % 12 + 1;
                data.wells[w].raw = 12000 + set * 97 + r * c * 31;
                data.wells[w].seconds = set * 40 + r * 12 + c;
            }
            document.datasets.push_back(data);
        }
        if (!writePlateFile(document, dir.filePath(name), QDateTime::currentDateTime()).ok)
            std::abort();
        QFile f(dir.filePath(name));
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
    std::vector<QString> entries;
    for (auto _ : st)
        if (!readDataFileEntries(f.dir.filePath(f.name), false, entries))
            st.SkipWithError("parse failed");
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_ParseDataFile)->Unit(benchmark::kMillisecond);

void BM_ParseHeaderOnly(benchmark::State& st) {
    FullFile& f = fullFile();
    std::vector<QString> entries;
    for (auto _ : st)
        if (!readDataFileEntries(f.dir.filePath(f.name), true, entries))
            st.SkipWithError("parse failed");
}
BENCHMARK(BM_ParseHeaderOnly)->Unit(benchmark::kMillisecond);

void BM_LoadDataFile(benchmark::State& st) {
    FullFile& f = fullFile();
    PlateDocument d;
    for (auto _ : st) {
        const LoadResult r = LoadDataFile(d, f.dir.path(), f.name);
        if (!r.ok || r.setsLoaded != kMaxSets) st.SkipWithError("load failed");
    }
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond);

void BM_ReadPlateFile(benchmark::State& st) {
    FullFile& f = fullFile();
    for (auto _ : st) {
        const PlateFileRead r = readPlateFile(f.dir.filePath(f.name));
        if (!r.ok || r.document.setCount() != kMaxSets) st.SkipWithError("read failed");
    }
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_ReadPlateFile)->Unit(benchmark::kMillisecond);

void BM_WriteDataFile(benchmark::State& st) {
    FullFile& f = fullFile();
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : st)
        if (!writePlateFile(f.document, f.dir.filePath(f.name), now).ok)
            st.SkipWithError("write failed");
    st.SetBytesProcessed(st.iterations() * f.bytes.size());
}
BENCHMARK(BM_WriteDataFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
