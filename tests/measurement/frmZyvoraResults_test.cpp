// The results beside the grid in a whole run on the simulated instrument: the heat map with
// its well states and the progress line while the sets come in, then the figures, the
// kinetics of chosen wells and the exports of the saved document.
#include <gtest/gtest.h>

#include <QChart>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "analysis/GuiAnalysisView.h"
#include "analysis/LayoutFile.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "plate/PlateDocument.h"
#include "results/GuiHeatMapView.h"
#include "results/GuiKineticView.h"
#include "results/GuiResultsGrid.h"
#include "results/GuiResultsPanel.h"

namespace vantorix {
namespace {

using test::DesktopUnderTest;

int countStatus(const HeatMapPicture& picture, WellStatus status) {
    return int(std::count_if(picture.wells.begin(), picture.wells.end(),
                             [&](const HeatWell& w) { return w.status == status; }));
}

// The followed wells A1 and A2: blue and vermilion lines that stand out (thick, with visible
// markers), the same colours framing the wells in the grid and the heat map; the unit on
// every axis; a logarithmic value axis on request.
void expectFollowedWellsMarked(DesktopUnderTest& d, const QLineSeries& a1, const QLineSeries& a2) {
    EXPECT_EQ(a1.pen().color(), QColor(0, 114, 178));
    EXPECT_EQ(a2.pen().color(), QColor(213, 94, 0));
    EXPECT_GE(a1.pen().widthF(), 2.5);
    EXPECT_GE(a1.markerSize(), 9);
    auto* grid = d.control<QTableWidget>("grdResults");
    EXPECT_EQ(wellMark(*grid, 1, 1), QColor(0, 114, 178));
    EXPECT_EQ(wellMark(*grid, 1, 2), QColor(213, 94, 0));
    EXPECT_FALSE(wellMark(*grid, 1, 3).isValid());
    auto* view = d.control<GuiKineticView>("chtKinetics");
    for (QAbstractAxis* axis : view->chart()->axes())
        EXPECT_TRUE(axis->titleText() == "Time (s)" ||
                    axis->titleText() == "RLU (less dark offset)")
            << axis->titleText().toStdString();
    EXPECT_EQ(view->chart()->axes(Qt::Vertical)[0]->type(), QAbstractAxis::AxisTypeValue);
    d.control<QCheckBox>("chkKineticsLog")->setChecked(true);
    EXPECT_EQ(view->chart()->axes(Qt::Vertical)[0]->type(), QAbstractAxis::AxisTypeLogValue);
    d.control<QCheckBox>("chkKineticsLog")->setChecked(false);
    d.control<QPushButton>("cmdViewHeatMap")->click();
    const HeatMapPicture& picture = d.control<GuiHeatMapView>("picHeatMap")->picture();
    EXPECT_EQ(picture.wells[1].mark, QColor(213, 94, 0));
    EXPECT_FALSE(picture.wells[2].mark.isValid());
    d.control<QPushButton>("cmdViewKinetics")->click();
}

// Before any well is chosen the value axis runs 0 to 5 in whole steps, not "0 1 1 2".
TEST(frmZyvoraResults, AnEmptyKineticsPlotHasWholeTicksAndNamesItsUnit) {
    GuiKineticView view;
    PlateDocument readings;
    view.show(readings, 2, {});
    const auto* y = qobject_cast<QValueAxis*>(view.chart()->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(y);
    EXPECT_EQ(y->min(), 0);
    EXPECT_EQ(y->max(), 5);
    EXPECT_EQ(y->tickCount(), 6);
    EXPECT_EQ(y->labelFormat(), "%.0f");
    EXPECT_EQ(y->titleText(), "RLU (less dark offset)");
}

TEST(frmZyvoraResults, HeatMapAndProgressDuringARunThenFiguresKineticsAndExports) {
    DesktopUnderTest d;
    frmZyvora& w = d.newMeasurement();
    EXPECT_EQ(w.windowTitle(), "New measurement");
    auto* stack = d.control<QStackedWidget>("stkResultsView");
    auto* heatMap = d.control<GuiHeatMapView>("picHeatMap");
    auto* progress = d.control<QLabel>("lblRunProgress");
    auto* bar = d.control<QProgressBar>("prgRun");
    auto* kinetics = d.control<QPushButton>("cmdViewKinetics");
    EXPECT_FALSE(kinetics->isEnabled());
    EXPECT_EQ(d.control<QAction>("mnuViewHeatMap")->shortcut(), QKeySequence("Ctrl+2"));
    QTest::mouseClick(d.control<QPushButton>("cmdViewHeatMap"), Qt::LeftButton);
    EXPECT_EQ(stack->currentIndex(), 1);

    d.selectRows(1);
    d.session.runOptions().RepeatMode = true;
    d.session.runOptions().Repeats = 2;
    d.session.runOptions().Delay = 0;
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    auto* status = d.control<QLabel>("StatusLine");
    ASSERT_TRUE(
        d.runUntil([&] { return status->text() == "Downloading Options for 1st of 2 datasets"; }));
    d.pair.runFor(3000);
    // The bar moves while the options go out: 3 s of the block's 15.9 s.
    EXPECT_GT(bar->value(), 10);
    EXPECT_LT(bar->value(), 60);
    EXPECT_TRUE(
        progress->text().startsWith("Sending the run options \u2013 Set 1 of 2 \u2013 0 of "
                                    "12 wells read"))
        << progress->text().toStdString();

    // While set 1 is read: read wells coloured, the rest of row A pending, rows B-H not
    // selected.
    ASSERT_TRUE(d.runUntil([&] {
        const HeatMapPicture& p = heatMap->picture();
        return countStatus(p, WellStatus::Read) >= 3 && countStatus(p, WellStatus::Pending) >= 3;
    }));
    EXPECT_EQ(countStatus(heatMap->picture(), WellStatus::NotSelected), 84);
    EXPECT_EQ(heatMap->picture().wells[95].text, "");
    EXPECT_TRUE(progress->text().contains("Reading wells \u2013 Set 1 of 2"))
        << progress->text().toStdString();

    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
    d.pair.runFor(200);  // the display follows on the window's 100 ms tick
    EXPECT_TRUE(w.windowTitle().endsWith(".ovd")) << w.windowTitle().toStdString();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(d.control<QLabel>("lblStatN")->text(), "12");
    EXPECT_EQ(d.control<QLabel>("lblStatSaturated")->text(), "0");
    // One rule for every figure: one decimal.
    for (const char* figure : {"lblStatMin", "lblStatMax", "lblStatMean", "lblStatSd", "lblStatCv"})
        EXPECT_TRUE(
            QRegularExpression("^\\d+\\.\\d$").match(d.control<QLabel>(figure)->text()).hasMatch())
            << figure << " " << d.control<QLabel>(figure)->text().toStdString();
    EXPECT_EQ(countStatus(heatMap->picture(), WellStatus::Read), 12);
    EXPECT_TRUE(heatMap->picture().title.startsWith("Set 1 of 2"));

    // Kinetics of A1 and A2, chosen in the grid; a third click drops A3 again.
    GuiResultsPanel& panel = w.resultsPanel();
    auto* grid = d.control<QTableWidget>("grdResults");
    panel.setView(GuiResultsPanel::View::Grid);
    for (int column : {0, 1, 2, 2}) emit grid->cellClicked(0, column);
    EXPECT_EQ(panel.chosenWells(), (std::vector<int>{0, 1}));
    ASSERT_TRUE(kinetics->isEnabled());
    QTest::mouseClick(kinetics, Qt::LeftButton);
    EXPECT_EQ(stack->currentIndex(), 2);
    const auto series = d.control<GuiKineticView>("chtKinetics")->chart()->series();
    ASSERT_EQ(series.size(), 2);
    EXPECT_EQ(series[0]->name(), "A1");
    EXPECT_EQ(static_cast<QLineSeries*>(series[1])->count(), 2);  // one point per set
    expectFollowedWellsMarked(d, *static_cast<QLineSeries*>(series[0]),
                              *static_cast<QLineSeries*>(series[1]));

    // The exports of the saved document, with a layout kept beside it that the analysis view
    // was never shown for: the report gains a page of analysis for each set.
    WellLayout layout;
    layout.wells[0].role = WellRole::Blank;
    for (int c = 1; c < 12; ++c) layout.wells[size_t(c)].role = WellRole::Sample;
    ASSERT_EQ(writeLayoutFile(layout, layoutPathFor(d.session.path())), "");
    const QString pdf = d.dir.filePath("report.pdf"), png = d.dir.filePath("set.png");
    EXPECT_EQ(panel.exportReport(pdf), "");
    EXPECT_EQ(panel.exportPicture(png), "");
    EXPECT_EQ(QImage(png).size(), QSize(1200, 820));
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected :
         {"Set 1 of 2", "Set 2 of 2", "Page 4 of 4", "n=12 sat=0", "Analysis of set 2"})
        EXPECT_TRUE(pages.contains(expected)) << expected;
    // View > Analysis shows that layout and a row for each of its wells.
    EXPECT_EQ(d.control<QAction>("mnuViewAnalysis")->shortcut(), QKeySequence("Ctrl+4"));
    d.control<QAction>("mnuViewAnalysis")->trigger();
    EXPECT_EQ(stack->currentIndex(), 3);
    EXPECT_EQ(panel.analysisView()->plateLayout(), layout);
    EXPECT_EQ(panel.analysisView()->resultsTable()->rowCount(), 12);
}

// While the instrument has not answered, nothing of the run has been read, whatever the table
// still holds (nothing in a fresh program, a previous document's readings): the wells are
// pending, the progress counts none and the figures are empty. Once the user gives up, the
// document is back.
TEST(frmZyvoraResults, BeforeTheFirstReadingNothingCountsAsRead) {
    for (const std::optional<double> left :
         {std::optional<double>(), std::optional<double>(1280)}) {
        SCOPED_TRACE(left.value_or(-1));
        sim::SimulatorConfig silent;
        silent.faults.noReady = 1000;
        DesktopUnderTest d(silent);
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c) d.session.setReading(1, r, c, left, std::nullopt);
        frmZyvora& w = d.newMeasurement();
        d.selectRows(1);
        auto* start = d.control<QPushButton>("cmdStartCancel");
        QTest::mouseClick(start, Qt::LeftButton);
        d.pair.runFor(500);  // the handshake's attempts take a second
        ASSERT_TRUE(w.runSequence().running());
        const QString progress = d.control<QLabel>("lblRunProgress")->text();
        EXPECT_TRUE(progress.startsWith(
            "Contacting the instrument \u2013 Set 1 of 1 \u2013 0 of 12 wells read"))
            << progress.toStdString();
        EXPECT_EQ(d.control<QLabel>("lblStatN")->text(), "0");
        EXPECT_EQ(d.control<QLabel>("lblStatMean")->text(), "-");
        auto* grid = d.control<QTableWidget>("grdResults");
        EXPECT_EQ(wellText(*grid, 1, 1), "...");
        EXPECT_EQ(wellBackground(*grid, 1, 1), kSelectedWellColour);
        EXPECT_EQ(wellText(*grid, 2, 1), "X");

        ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));  // not retried
        EXPECT_EQ(d.dialogs.texts("retry").size(), 1);
        EXPECT_EQ(wellText(*grid, 1, 1), "X");  // the empty new document again
    }
}

// True when all of `w` lies inside each of its parents up to `top`: nothing clips it.
bool inSight(const QWidget* w, const QWidget* top) {
    QRect r = w->rect();
    for (const QWidget* p = w; p != top; p = p->parentWidget()) {
        r.translate(p->pos());
        if (!p->parentWidget()->rect().contains(r)) return false;
    }
    return w->isVisible();
}

// A 1366 x 768 laptop screen is used whole; there, less a panel and the title bar, no view
// needs scrolling and the run's progress line and the grid's legend are in sight. A larger
// screen gets most of its room.
TEST(frmZyvoraResults, ALaptopScreenShowsEverythingWithoutScrolling) {
    EXPECT_TRUE(framePlacement(QRect(0, 0, 1366, 740)).maximized);
    const FramePlacement large = framePlacement(QRect(0, 0, 1920, 1050));
    EXPECT_FALSE(large.maximized);
    EXPECT_EQ(large.normal, QRect(144, 79, 1632, 892));

    DesktopUnderTest d;
    d.frame->showNormal();
    d.frame->resize(1366, 700);
    frmZyvora& w = d.newMeasurement();
    auto* scroll = d.control<QScrollArea>("scrMeasurement");
    auto* progress = d.control<QWidget>("fraRunProgress");
    auto* legend = d.control<QWidget>("fraWellLegend");
    d.selectRows(2);
    QTest::mouseClick(d.control<QPushButton>("cmdStartCancel"), Qt::LeftButton);
    ASSERT_TRUE(d.runUntil([&] { return w.runSequence().unfinishedReadings() > 3; }));
    const auto check = [&](const char* view) {
        SCOPED_TRACE(view);
        DesktopUnderTest::settle();
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
        EXPECT_TRUE(inSight(progress, d.frame.get()));
        EXPECT_TRUE(inSight(d.control<QLabel>("lblRunProgress"), d.frame.get()));
    };
    check("values");
    EXPECT_TRUE(inSight(legend, d.frame.get()));
    QTest::mouseClick(d.control<QPushButton>("cmdToggleDataTime"), Qt::LeftButton);
    check("times");
    EXPECT_TRUE(inSight(legend, d.frame.get()));
    EXPECT_EQ(wellText(*d.control<QTableWidget>("grdResults"), 1, 1), "000");
    w.resultsPanel().setView(GuiResultsPanel::View::HeatMap);
    check("heat map");
    ASSERT_TRUE(d.runUntil([&] { return !w.runSequence().running(); }));
}

TEST(frmZyvoraResults, ASmallWindowScrollsInsteadOfCuttingOffTheGrid) {
    DesktopUnderTest d;
    d.newMeasurement();
    auto* scroll = d.control<QScrollArea>("scrMeasurement");
    d.frame->showNormal();
    d.frame->resize(500, 400);
    DesktopUnderTest::settle();
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    // Column 12 is reachable: its right edge lies inside the scrolled content.
    auto* grid = d.control<QTableWidget>("grdResults");
    EXPECT_LE(grid->columnViewportPosition(11) + grid->columnWidth(11),
              grid->viewport()->width() + 1);
}

}  // namespace
}  // namespace vantorix
