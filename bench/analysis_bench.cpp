// Analysis speed: a 4PL standard curve of 16 wells, and `vantorix-cli analyze` of a 255-set
// file with a full plate layout (blanks, a 4PL standard series, controls, samples) and --csv.
// Targets: the 16-well 4PL fit in under 1 ms; the 255-set analyze in under 200 ms.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

#include "analysis/AnalysisText.h"
#include "analysis/CurveFit.h"
#include "analysis/DatasetAnalysis.h"
#include "analysis/LayoutFile.h"
#include "files/PlateFile.h"

using namespace vantorix;

namespace {

// The signal of 8 two-fold standards from 1000 down, with a fixed +-3 % wobble per well.
double standardSignal(int well, double concentration) {
    const double clean = 52000 + (120.0 - 52000) / (1 + std::pow(concentration / 40, 1.3));
    return clean * (1 + 0.03 * std::sin(7.3 * well));
}

void BM_Fit4plSixteenWells(benchmark::State& state) {
    std::vector<double> x, y;
    for (int well = 0; well < 16; ++well) {
        x.push_back(1000 / std::pow(2.0, well / 2));
        y.push_back(standardSignal(well, x.back()));
    }
    for (auto _ : state) {
        const CurveFit fit = fitCurve(CurveModel::FourPL, Weighting::None, x, y);
        if (!fit.ok) state.SkipWithError("the fit failed");
        benchmark::DoNotOptimize(fit.parameters.data());
    }
}
BENCHMARK(BM_Fit4plSixteenWells)->Unit(benchmark::kMicrosecond);

// Column 1: blanks; columns 2-3: standards in duplicate down the rows; column 4: controls;
// the rest: samples in duplicate, dilution 2.
WellLayout fullLayout() {
    WellLayout layout;
    for (int well = 0; well < kWellCount; ++well) {
        WellAssignment& w = layout.wells[size_t(well)];
        const int row = well / kPlateColumns, column = well % kPlateColumns;
        if (column == 0) {
            w.role = WellRole::Blank;
        } else if (column <= 2) {
            w.role = WellRole::Standard;
            w.concentration = 1000 / std::pow(2.0, row);
        } else if (column == 3) {
            w.role = row < 4 ? WellRole::Positive : WellRole::Negative;
        } else {
            w.role = WellRole::Sample;
            w.name = QStringLiteral("S%1").arg(row * 4 + (column - 4) / 2);
            w.dilution = 2;
        }
    }
    return layout;
}

PlateDocument fullRun(const WellLayout& layout) {
    PlateDocument d;
    for (auto& row : d.options.SelectedWells) row.fill(true);
    d.datasets.resize(size_t(kMaxSets));
    for (int set = 0; set < kMaxSets; ++set)
        for (int well = 0; well < kWellCount; ++well) {
            const WellAssignment& w = layout.wells[size_t(well)];
            double signal = 300 + 40 * std::sin(well + set);
            if (w.role == WellRole::Standard)
                signal += standardSignal(well + set, *w.concentration);
            if (w.role == WellRole::Sample) signal += 500 + 97.0 * (well % 48);
            if (w.role == WellRole::Positive) signal += 40000;
            d.datasets[size_t(set)].wells[size_t(well)].raw = signal + kDarkOffset;
            d.datasets[size_t(set)].wells[size_t(well)].seconds = set * 40.0 + well * 0.4;
        }
    return d;
}

// The calculations alone, and the CSV text of their results, for the same run in memory.
void BM_AnalyzeDocument255Sets(benchmark::State& state) {
    PlateDocument d = fullRun(fullLayout());
    d.layout = fullLayout();
    for (auto _ : state) benchmark::DoNotOptimize(analyzeDocument(d, {}).size());
}
BENCHMARK(BM_AnalyzeDocument255Sets)->Unit(benchmark::kMillisecond);

void BM_AnalysisCsv255Sets(benchmark::State& state) {
    PlateDocument d = fullRun(fullLayout());
    d.layout = fullLayout();
    const std::vector<DatasetAnalysis> analyses = analyzeDocument(d, {});
    for (auto _ : state) benchmark::DoNotOptimize(analysisCsvText(analyses).size());
}
BENCHMARK(BM_AnalysisCsv255Sets)->Unit(benchmark::kMillisecond);

void BM_CliAnalyze255Sets(benchmark::State& state) {
    QTemporaryDir dir;
    // VANTORIX_BENCH_KEEP=1 leaves the run and its layout behind for a profiler.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VANTORIX_BENCH_KEEP"));
    const WellLayout layout = fullLayout();
    if (!writePlateFile(fullRun(layout), dir.filePath("full.ovd"), QDateTime::currentDateTime())
             .ok ||
        !writeLayoutFile(layout, dir.filePath("full.layout.csv")).isEmpty()) {
        state.SkipWithError("cannot write the run");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VANTORIX_CLI_PATH),
                {QStringLiteral("analyze"), QStringLiteral("full.ovd"), QStringLiteral("--layout"),
                 QStringLiteral("full.layout.csv"), QStringLiteral("--csv"),
                 QStringLiteral("out.csv")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("vantorix-cli analyze failed");
            break;
        }
    }
}
BENCHMARK(BM_CliAnalyze255Sets)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
