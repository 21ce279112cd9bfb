// One dataset analysed against a layout, every figure worked out by hand or with numpy
// (polyfit for the line): blanks, replicate groups, the curve, back-calculation, the
// quantifiable range, unknowns with their dilution, flags, Z', S/B and the verdict.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/AnalysisPlate.h"
#include "analysis/AnalysisText.h"
#include "analysis/DatasetAnalysis.h"
#include "plate/PlateGeometry.h"
#include "support/TestSupport.h"

namespace vantorix {
namespace {

DatasetAnalysis analyze(const AnalysisSettings& settings) {
    Dataset set;
    WellLayout layout;
    test::handPlate(set, layout);
    return analyzeDataset(set, layout, settings, 3);
}

const WellResult& row(const DatasetAnalysis& a, const char* well) {
    const int n = *wellFromName(QString::fromLatin1(well));
    for (const WellResult& w : a.wells)
        if (w.well == n) return w;
    ADD_FAILURE() << "no row for " << well;
    return a.wells.front();
}

TEST(DatasetAnalysis, WorksOutEveryWellsFiguresAndTheirFlags) {
    AnalysisSettings s;
    s.model = CurveModel::Linear;
    const DatasetAnalysis a = analyze(s);
    ASSERT_TRUE(a.problem.isEmpty()) << a.problem.toStdString();
    EXPECT_EQ(plainNumber(a.blankMean), "110");
    // well, corrected, mean, sd, cv, concentration, recovery, flags
    const struct {
        const char *well, *corrected, *mean, *sd, *cv, *concentration, *recovery, *flags;
    } rows[] = {
        {"A1", "-10", "110", "14.1421", "12.8565", "-", "-", ""},
        {"B1", "1000", "1010", "14.1421", "1.40021", "9.88189", "98.8189", ""},
        {"B8", "7920", "7960", "56.5685", "0.71066", "79.5057", "99.3821", ""},
        {"B9", "-", "-", "-", "-", "-", "-", "saturated"},
        {"B10", "-", "-", "-", "-", "-", "-", "excluded"},
        {"C1", "3000", "3050", "70.7107", "2.31838", "60.0087", "-", ""},
        {"C2", "3100", "3050", "70.7107", "2.31838", "62.021", "-", ""},
        {"C3", "190", "190", "-", "-", "-", "-", "<LLOQ"},
        {"C4", "9000", "9000", "-", "-", "-", "-", ">ULOQ"},
        {"C5", "-", "-", "-", "-", "-", "-", "missing"},
        {"C6", "1000", "1500", "707.107", "47.1405", "-", "-", "cv; <LLOQ"},
        {"C8", "-60", "-60", "-", "-", "-", "-", "out of curve"},
        {"D1", "4890", "5090", "282.843", "5.55683", "-", "-", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.well);
        const WellResult& w = row(a, r.well);
        EXPECT_EQ(plainNumber(w.corrected), r.corrected);
        EXPECT_EQ(plainNumber(w.mean), r.mean);
        EXPECT_EQ(plainNumber(w.sd), r.sd);
        EXPECT_EQ(plainNumber(w.cv), r.cv);
        EXPECT_EQ(plainNumber(w.concentration), r.concentration);
        EXPECT_EQ(plainNumber(w.recovery), r.recovery);
        EXPECT_EQ(w.flags.join("; "), r.flags);
    }
    EXPECT_EQ(analysisSummaryLine(a, s.model),
              "Set 3: fit=linear a=17.8261 b=99.3913 c=- d=- g=- r2=0.999886 lloq=10 uloq=80 "
              "zprime=0.810031 sb=10.1961 qc=PASS");
    ASSERT_TRUE(a.curve->standardErrors[0] && a.curve->standardErrors[1]);
    EXPECT_EQ(plainNumber(*a.curve->standardErrors[0]), "19.9622");
    EXPECT_EQ(plainNumber(*a.curve->standardErrors[1]), "0.43304");
    EXPECT_EQ(plainNumber(a.curve->residualSd), "32.8369");
}

TEST(DatasetAnalysis, RecoveryBandAndAcceptanceRulesDecideRangeAndVerdict) {
    // Mean recoveries by hand from the row figures: 10: 99.825, 20: 99.2126, 40: 100.667,
    // 80: 99.8852 (the saturated and the excluded well do not count).
    const struct {
        double low, high;
        std::optional<double> maxBlankCv, minR2, minZPrime;
        const char* tail;
    } cases[] = {
        {99.5, 100.5, 20, 0.98, 0.5, "lloq=10 uloq=80 zprime=0.810031 sb=10.1961 qc=PASS"},
        {99.9, 101, 20, 0.98, 0.5, "lloq=40 uloq=40 zprime=0.810031 sb=10.1961 qc=PASS"},
        {101, 120, 20, 0.98, 0.5, "lloq=- uloq=- zprime=0.810031 sb=10.1961 qc=PASS"},
        {80, 120, 12.5, 0.99999, 0.85,
         "lloq=10 uloq=80 zprime=0.810031 sb=10.1961 qc=FAIL (blank CV <= 12.5%; R2 >= 0.99999; "
         "Z' >= 0.85)"},
        {80, 120, std::nullopt, 0.99999, std::nullopt,
         "lloq=10 uloq=80 zprime=0.810031 sb=10.1961 qc=FAIL (R2 >= 0.99999)"},
    };
    for (const auto& c : cases) {
        AnalysisSettings s;
        s.model = CurveModel::Linear;
        s.recoveryLow = c.low, s.recoveryHigh = c.high;
        s.rules = {c.maxBlankCv, c.minR2, c.minZPrime};
        const QString line = analysisSummaryLine(analyze(s), s.model);
        EXPECT_EQ(line.mid(line.indexOf("lloq=")), c.tail);
    }
}

TEST(DatasetAnalysis, LogLogLeavesOutAndFlagsStandardsWithoutAPositiveSignal) {
    // B1 read at the blanks' level: corrected -10, not on a log scale. numpy's polyfit of
    // log10 y on log10 x over the other seven: a 2.01145, b 0.992844, R2 0.999859.
    Dataset set;
    WellLayout layout;
    test::handPlate(set, layout);
    set.wells[size_t(*wellFromName(u"B1"))].raw = 100 + kDarkOffset;
    AnalysisSettings s;
    s.model = CurveModel::LogLog;
    const DatasetAnalysis a = analyzeDataset(set, layout, s, 1);
    ASSERT_TRUE(a.problem.isEmpty()) << a.problem.toStdString();
    EXPECT_EQ(row(a, "B1").flags.join("; "), "cv; y<=0; out of curve");  // with B2: 1020
    EXPECT_EQ(plainNumber(row(a, "C1").concentration), "59.878");
    EXPECT_EQ(analysisSummaryLine(a, s.model),
              "Set 1: fit=loglog a=2.01145 b=0.992844 c=- d=- g=- r2=0.999859 lloq=10 uloq=80 "
              "zprime=0.810031 sb=10.1961 qc=PASS");
}

TEST(AnalysisText, NumbersArePlainDecimalsOfUpToSixSignificantDigits) {
    const struct {
        std::optional<double> value;
        const char* text;
    } cases[] = {
        {0.0001234567, "0.000123457"},
        {1234567.8, "1234570"},
        {999999.7, "1000000"},
        {12.5, "12.5"},
        {-1e-8, "-0.00000001"},
        {-0.0, "0"},
        {100, "100"},
        {std::nullopt, "-"},
        {std::nan(""), "-"},
    };
    for (const auto& c : cases) EXPECT_EQ(plainNumber(c.value), c.text);
}

}  // namespace
}  // namespace vantorix
