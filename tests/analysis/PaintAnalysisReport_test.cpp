// vantorix-cli analyze --pdf: the report of a data file with the analysis pages of its layout,
// read back by pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "analysis/LayoutFile.h"
#include "files/PlateFile.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Blanks A1-A2, a 4PL series of duplicates in columns 1-2 from B (100 down to 3.125), controls
// in column 3 and samples in every other well: 96 rows of results. Readings follow
// y = 100000 + (0 - 100000) / (1 + x / 10) above a blank of 100.
void writeRun(const QString& dir) {
    PlateDocument d;
    d.datasets.resize(1);
    WellLayout& l = d.layout;
    for (int w = 0; w < kWellCount; ++w) d.options.SelectedWells[w / 12][w % 12] = true;
    const auto role = [&](int well, WellRole r, const QString& name = {},
                          std::optional<double> concentration = {}) {
        l.wells[size_t(well)].role = r;
        l.wells[size_t(well)].name = name;
        l.wells[size_t(well)].concentration = concentration;
    };
    const auto reading = [&](int well, double corrected) {
        d.datasets[0].wells[size_t(well)].raw = corrected + 100 + kDarkOffset;
        d.datasets[0].wells[size_t(well)].status = WellStatus::Read;
    };
    for (int w = 0; w < kWellCount; ++w) {
        role(w, WellRole::Sample, QStringLiteral("U%1").arg(w));
        reading(w, 20000 + 100 * w);
    }
    for (int c = 0; c < 2; ++c) {
        role(c, WellRole::Blank);
        reading(c, 0);
        for (int r = 1; r < 7; ++r) {
            const double x = 100 / std::pow(2, r - 1);
            role(r * 12 + c, WellRole::Standard, QStringLiteral("S%1").arg(r), x);
            reading(r * 12 + c, 100000 - 100000 / (1 + x / 10));
        }
    }
    for (int r = 0; r < 4; ++r) {
        role(r * 12 + 2, r < 2 ? WellRole::Positive : WellRole::Negative);
        reading(r * 12 + 2, r < 2 ? 60000 + 1000 * r : 1000 + 100 * r);
    }
    ASSERT_EQ(writeLayoutFile(l, dir + "/run.layout.csv"), QString());
    d.layout = {};
    ASSERT_TRUE(writePlateFile(d, dir + "/run.ovd", QDateTime(QDate(2026, 12, 7), QTime(9, 0))).ok);
}

}  // namespace

TEST(AnalyzePdf, WritesTheReportWithTheLayoutCurveTableAndVerdict) {
    QTemporaryDir dir;
    writeRun(dir.path());
    CliResult r = runCli({"analyze", "run.ovd", "--layout", "run.layout.csv", "--pdf", "out.pdf"},
                         dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The set's page, then the analysis: 38 rows on its first page, the other 58 on a second.
    EXPECT_TRUE(
        run("pdfinfo", {dir.filePath("out.pdf")}).contains(QRegularExpression("Pages: +3\n")));
    const QString text = run("pdftotext", {"-layout", dir.filePath("out.pdf"), "-"});
    for (const char* expected : {"Analysis of set 1", "Standard curve, set 1", "Plate QC: PASS",
                                 "Page 3 of 3", "Positive control", "Concentration (layout units)",
                                 "Signal less blank (RLU)", "H12", "U95"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    // The standards lie exactly on the curve: every recovery is 100 %, the range is the whole
    // series, and H12 (29500 above the blank) reads 10 * 29500 / (100000 - 29500).
    EXPECT_TRUE(text.contains("LLOQ 3.125, ULOQ 100")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("H12 +sample +U95 +29600 +29500 .* 4\\.1844\\b")));

    // An output folder that is not there: nothing is written and the message names the file.
    r = runCli({"analyze", "run.ovd", "--layout", "run.layout.csv", "--pdf", "no/such/a.pdf"},
               dir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("no/such/a.pdf")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/a.pdf")));
}
