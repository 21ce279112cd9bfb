// The curve plot's axes, the layout picture's hit areas and well texts, and the texts the
// analysis view and the report show for each well.
#include "analysis/PaintCurvePlot.h"

#include <gtest/gtest.h>

#include "analysis/AnalysisRows.h"
#include "analysis/PaintAnalysisPage.h"
#include "analysis/PaintLayoutPlate.h"
#include "support/TestSupport.h"

using namespace vantorix;

TEST(CurvePlotAxis, LogAxesSpanWholeDecadesAndLinearOnesRoundSteps) {
    struct Case {
        double lo, hi;
        bool log;
        std::vector<double> ticks;
    };
    const Case cases[] = {
        {1.5625, 100, true, {1, 10, 100}},
        {0.02, 0.5, true, {0.01, 0.1, 1}},
        {100, 100, true, {100, 1000}},  // one value still gets a decade
        {0, 93736, false, {0, 20000, 40000, 60000, 80000, 100000}},
        {-2.5, 11, false, {-5, 0, 5, 10, 15}},
        {3, 3, false, {3, 3.2, 3.4, 3.6, 3.8, 4}},
    };
    for (const Case& c : cases) {
        const CurvePlotAxis axis = curvePlotAxis(c.lo, c.hi, c.log);
        ASSERT_EQ(axis.ticks.size(), c.ticks.size()) << c.lo << " " << c.hi;
        for (size_t i = 0; i < c.ticks.size(); ++i)
            EXPECT_NEAR(axis.ticks[i], c.ticks[i], 1e-9 * std::max(1.0, c.ticks[i])) << i;
        EXPECT_DOUBLE_EQ(axis.position(axis.ticks.front()), 0);
        EXPECT_DOUBLE_EQ(axis.position(axis.ticks.back()), 1);
    }
    EXPECT_DOUBLE_EQ(curvePlotAxis(1, 100, true).position(10), 0.5);
    for (const auto& [value, text] : std::vector<std::pair<double, const char*>>{
             {0, "0"}, {0.001, "0.001"}, {2500, "2.5k"}, {100000, "100k"}, {1.5e6, "1.5M"}})
        EXPECT_EQ(tickText(value), text);
}

TEST(AnalysisRows, EachWellShowsItsFiguresAndFlagsAndTheVerdictNamesFailedRules) {
    WellResult sample;
    sample.well = 13;
    sample.role = WellRole::Sample;
    sample.name = u"serum"_qs;
    sample.value = 250;
    sample.corrected = 150;
    sample.mean = 160;
    sample.sd = 14.1421;
    sample.cv = 8.83883;
    sample.concentration = 60;
    WellResult excluded;
    excluded.well = 95;
    excluded.role = WellRole::Standard;
    excluded.flags = QStringList{u"excluded"_qs, u"cv"_qs};
    EXPECT_EQ(analysisRowTexts(sample), (QStringList{"B2", "sample", "serum", "250", "150", "160",
                                                     "14.1421", "8.83883", "60", ""}));
    EXPECT_EQ(analysisRowTexts(excluded),
              (QStringList{"H12", "standard", "", "-", "-", "-", "-", "-", "-", "excluded; cv"}));
    DatasetAnalysis a;
    EXPECT_EQ(verdictText(a), "PASS");
    a.quality.pass = false;
    a.quality.failedRules = QStringList{u"R2 >= 0.98"_qs, u"Z' >= 0.5"_qs};
    EXPECT_EQ(verdictText(a), "FAIL (R2 >= 0.98; Z' >= 0.5)");
    // A rule switched off says so beside its figure.
    AnalysisSettings settings;
    settings.rules.minZPrime.reset();
    a.quality.zPrime = 0.42;
    const std::vector<VerdictLine> lines = verdictLines(a, settings);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().caption, "Controls:");
    EXPECT_EQ(lines.back().text, "Z' 0.42   S/B -   (rule: off)");
}

TEST(LayoutPlatePicture, PointsFindTheirWellRowOrColumnAndWellsSayWhatTheyHold) {
    // 640 x 400: 26 px of headers, a 28 px legend below; cells 614 / 12 wide, 342 / 8 high.
    const LayoutPlateGeometry g = layoutPlateGeometry(QRectF(0, 0, 640, 400));
    struct Case {
        QPointF at;
        int well, row, column;
    };
    const Case cases[] = {
        {{256, 133}, 28, -1, -1},  // C5
        {{27, 27}, 0, -1, -1},     // A1's corner
        {{639, 367}, 95, -1, -1},  // H12's corner
        {{10, 346}, -1, 7, -1},    // the letter H
        {{614, 13}, -1, -1, 11},   // the number 12
        {{10, 10}, -1, -1, -1},    // the corner above the letters
        {{300, 390}, -1, -1, -1},  // the legend
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g.wellAt(c.at), c.well) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(g.rowHeaderAt(c.at), c.row) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(g.columnHeaderAt(c.at), c.column) << c.at.x() << "," << c.at.y();
    }
    const auto well = [](WellRole role, const QString& name, std::optional<double> c) {
        WellAssignment w;
        w.role = role;
        w.name = name;
        w.concentration = c;
        return w;
    };
    const std::pair<WellAssignment, const char*> texts[] = {
        {well(WellRole::Standard, u"S8"_qs, 1.5625), "1.5625"},
        {well(WellRole::Standard, u"S1"_qs, 1e-5), "1e-05"},
        {well(WellRole::Sample, u"Serum 4"_qs, {}), "Serum 4"},
        {well(WellRole::Sample, {}, {}), "S?"},
        {well(WellRole::Blank, {}, {}), "B"},
        {well(WellRole::Negative, {}, {}), "\u2212"},
        {well(WellRole::Empty, u"ignored"_qs, {}), ""},
    };
    for (const auto& [w, text] : texts) EXPECT_EQ(layoutWellText(w), QString::fromUtf8(text));
}

TEST(AnalysisPages, TheResultsTableContinuesOnFurtherPagesWhenLong) {
    // A page 1020 x 1487.5 with 28.8 px lines, no curve (two verdict lines): the table starts at
    // 528.48 px and its rows are 21.6 px, so 43 rows fit under the pictures and 67 on a page of
    // their own.
    const QRectF page(0, 0, 1020, 1487.5);
    for (const auto& [rows, pages] :
         std::vector<std::pair<int, int>>{{1, 1}, {43, 1}, {44, 2}, {110, 2}, {111, 3}}) {
        DatasetAnalysis a;
        a.wells.resize(size_t(rows));
        EXPECT_EQ(analysisPageCount(a, page, 28.8), pages) << rows;
    }
}
