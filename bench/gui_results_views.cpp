// Speed of the results views on a full 255-set document: switching the shown set with the heat
// map on screen, switching between the grid, the heat map and the kinetics of four wells
// (each including the repaint; target: one frame, 16 ms), and writing the 255-page report
// (target: under 2 s).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

#include "kernel/DataPaths.h"
#include "plate/DocumentSession.h"
#include "results/GuiResultsGrid.h"
#include "results/GuiResultsPanel.h"
#include "results/PaintReport.h"

using namespace vantorix;

namespace {

constexpr int kSets = kMaxSets;

// A finished run of every well, as the measurement window shows it.
void fill(DocumentSession& run) {
    PlateDocument d;
    d.declaredSets = kSets;
    d.header.setsText = QStringLiteral("255");
    for (int k = 1; k <= kSets; ++k)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c)
                d.dataset(k).at(r - 1, c - 1) = {200 + 997 * (k * 96 + r * 12 + c) % 1500000,
                                                 k * 30 + r * 12 + c, WellStatus::Read};
    run.replaceDocument(std::move(d));
    for (auto& row : run.runOptions().SelectedWells) row.fill(true);
    run.setSetCount(kSets);
    run.setCanEdit(true);
}

DocumentSession& fullRun() {
    static DocumentSession run;
    if (run.setCount() == 0) fill(run);
    return run;
}

struct Window {
    Window()
        : panel(
              fullRun(), folders, [] { return PanelRun{}; }, grid = new QTableWidget(8, 12),
              &host) {
        host.resize(1280, 720);
        panel.resize(1280, 720);
        layOutResultsGrid(*grid);
        for (int well : {0, 13, 40, 95}) panel.toggleChosenWell(well);
        host.show();
        panel.show();
        QApplication::processEvents();
    }
    DataFolders folders;
    QWidget host;
    QTableWidget* grid;
    GuiResultsPanel panel;
};

// The measurement window's set step: fill the grid, refresh the panel, paint.
void BM_SwitchSetWithHeatMap(benchmark::State& st) {
    Window w;
    w.panel.setView(GuiResultsPanel::View::HeatMap);
    DocumentSession& run = fullRun();
    int set = 1;
    for (auto _ : st) {
        set = set % kSets + 1;
        run.setShownSet(set);
        fillResultsGrid(*w.grid, run.document(), set, GridMode::Readings, true);
        w.panel.refresh();
        w.panel.repaint();
    }
}
BENCHMARK(BM_SwitchSetWithHeatMap)->Unit(benchmark::kMillisecond);

void BM_SwitchView(benchmark::State& st) {
    Window w;
    const GuiResultsPanel::View views[] = {GuiResultsPanel::View::Grid,
                                           GuiResultsPanel::View::HeatMap,
                                           GuiResultsPanel::View::Kinetics};
    int i = 0;
    for (auto _ : st) {
        w.panel.setView(views[i++ % 3]);
        w.panel.repaint();
    }
}
BENCHMARK(BM_SwitchView)->Unit(benchmark::kMillisecond);

void BM_Report255Sets(benchmark::State& st) {
    QTemporaryDir dir;
    const ReportSource source{fullRun().document(), kSets, QStringLiteral("full.ovd"),
                              QDateTime::currentDateTime()};
    for (auto _ : st) {
        const QString error = WriteReport(source, dir.filePath(QStringLiteral("full.pdf")));
        if (!error.isEmpty()) st.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK(BM_Report255Sets)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
