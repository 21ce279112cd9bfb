// Speed of the spreadsheet export of a full 255-set document: in process against the recording
// and the xlsx backends, and end to end as `vantorix-cli export FILE --xlsx OUT` (target: under
// 0.5 s).
#include <benchmark/benchmark.h>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "files/OvdWriter.h"
#include "files/PlateFile.h"
#include "results/CsvExport.h"
#include "results/ExportRecordingSpreadsheet.h"
#include "results/ExportToExcel.h"
#include "results/XlsxSpreadsheet.h"

using namespace vantorix;

namespace {

constexpr int kSets = kMaxSets;

// A full run: every well of every set read, written with the program's own writer.
PlateDocument fullRun() {
    PlateDocument d;
    for (int k = 1; k <= kSets; ++k)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c)
                d.dataset(k).at(r - 1, c - 1) = {200 + 997 * (k * 96 + r * 12 + c) % 1500000,
                                                 k * 30 + r * 12 + c, WellStatus::Read};
    return d;
}

PlateDocument loadedDocument(const QString& folder) {
    PlateDocument d = fullRun();
    const QString path = QDir(folder).filePath(QStringLiteral("full.ovd"));
    if (!writePlateFile(runDocument(d, d.options, 1, kSets), path, QDateTime::currentDateTime()).ok)
        return d;
    d.recognised = true;
    d.declaredSets = kSets;
    d.header.setsText = QStringLiteral("255");
    return d;
}

void BM_ExportRecording(benchmark::State& state) {
    QTemporaryDir dir;
    const PlateDocument d = loadedDocument(dir.path());
    for (auto _ : state) {
        auto record = std::make_shared<SpreadsheetRecord>();
        benchmark::DoNotOptimize(ExportToExcel(d, 0, recordingSpreadsheet(record), {}));
    }
}
BENCHMARK(BM_ExportRecording)->Unit(benchmark::kMillisecond);

void BM_ExportXlsx(benchmark::State& state) {
    QTemporaryDir dir;
    const PlateDocument d = loadedDocument(dir.path());
    const QString out = dir.filePath(QStringLiteral("out.xlsx"));
    for (auto _ : state) benchmark::DoNotOptimize(ExportToExcel(d, 0, xlsxSpreadsheet(out), {}));
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    QTemporaryDir dir;
    const PlateDocument d = loadedDocument(dir.path());
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    for (auto _ : state) benchmark::DoNotOptimize(WriteCsvExport(d, 0, out));
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// The whole command: start, load the 255-set file, write the workbook, exit.
void BM_CliExportXlsx(benchmark::State& state) {
    QTemporaryDir dir;
    loadedDocument(dir.path());
    for (auto _ : state) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VANTORIX_CLI_PATH),
                {QStringLiteral("export"), QStringLiteral("full.ovd"), QStringLiteral("--xlsx"),
                 QStringLiteral("out.xlsx")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("vantorix-cli export failed");
            break;
        }
    }
}
BENCHMARK(BM_CliExportXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
