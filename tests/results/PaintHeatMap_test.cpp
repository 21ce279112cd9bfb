// The heat map's colours and scale, and the picture and report written by vantorix-cli read
// back by a PNG decoder and by pdftotext.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include "files/OvdWriter.h"
#include "results/ExportTestDocument.h"
#include "results/PaintHeatMap.h"
#include "results/PaintPalette.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// Two sets; A1 reads 281 (1 after the offset), A2 1000280 (a million), A3 is saturated,
// A4 was selected and never read, H12 not selected.
void writeDocument(const QString& folder) {
    writeTwoSetFile(folder, [](PlateDocument& d) {
        d.header.operatorName = "Ines";
        // A recovered run's long notes: the report ends them at its margin with an ellipsis.
        d.header.notes = "[Recovered, incomplete run: 1 of 2 sets complete] " +
                         QString("plate washed twice, ").repeated(12) + "LAST";
        const std::optional<double> raws[] = {281, 1000280, 1500000, std::nullopt};
        for (int c = 1; c <= 4; ++c) d.datasets[0].at(0, c - 1).raw = raws[c - 1];
    });
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 &&
           std::abs(qBlue(a) - qBlue(b)) <= 4;
}

}  // namespace

TEST(PaintPalette, LightnessRisesEvenlyAndTextStaysReadable) {
    double previous = -1;
    for (int i = 0; i <= 32; ++i) {
        const QColor c = heatColour(i / 32.0);
        const double lightness = oklabLightness(c);
        EXPECT_GT(lightness, previous) << i;
        // Even steps: each 1/32 of the ramp adds about 0.68/32 of lightness.
        if (i > 0) {
            EXPECT_NEAR(lightness - previous, 0.02125, 0.004) << i;
        }
        previous = lightness;
        EXPECT_GE(contrastRatio(c, textColourOn(c)), 4.5) << i;
    }
    EXPECT_EQ(heatColour(0).name(), "#261b5b");
    EXPECT_EQ(heatColour(1).name(), "#fff4b0");
    EXPECT_EQ(heatColour(-3), heatColour(0));
}

TEST(PaintHeatMap, ScaleSpansWholeDecadesOfTheReadings) {
    struct Case {
        std::vector<double> raws;
        double lo, hi, positionOf1000;
    } cases[] = {
        {{}, 1, 10, 1},
        {{1280}, 1000, 10000, 0},
        {{380, 1280, 2000000}, 100, 1000, 1},  // saturated left out
        {{281, 1000280}, 1, 1e6, 0.5},
        {{100, 50280}, 1, 1e5, 0.6},  // below the offset counts as 1
    };
    for (const Case& c : cases) {
        PlateDocument readings;
        int well = 0;
        for (double raw : c.raws) readings.dataset(1).at(0, well++).raw = raw;
        const HeatScale scale = HeatScale::forSets(readings, 1, 1);
        EXPECT_DOUBLE_EQ(scale.lo, c.lo);
        EXPECT_DOUBLE_EQ(scale.hi, c.hi);
        EXPECT_NEAR(scale.position(1000), c.positionOf1000, 1e-9);
    }
}

TEST(PaintHeatMap, PictureAndReportOfAFileReadBack) {
    QTemporaryDir dir;
    writeDocument(dir.path());

    CliResult r = runCli({"export", "plate.ovd", "--png", "set1.png"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QImage image(dir.filePath("set1.png"));
    ASSERT_EQ(image.size(), QSize(1200, 820));
    // Near the top-left corner of each well, away from its text.
    const HeatMapLayout layout = heatMapLayout(QRectF(8, 8, 1184, 804));
    const auto corner = [&](int well) {
        const QRectF cell = layout.cell(well / 12, well % 12);
        return image.pixel(int(cell.left() + 6), int(cell.center().y()));
    };
    EXPECT_TRUE(near(corner(0), qRgb(0x26, 0x1b, 0x5b))) << QColor(corner(0)).name().toStdString();
    EXPECT_TRUE(near(corner(1), qRgb(0xff, 0xf4, 0xb0))) << QColor(corner(1)).name().toStdString();
    EXPECT_TRUE(near(corner(3), qRgb(255, 255, 255)));   // no reading: white
    EXPECT_TRUE(near(corner(95), qRgb(255, 255, 255)));  // not selected

    r = runCli({"export", "plate.ovd", "--png", "set2.svg", "--set", "2"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readFileBytes(dir.filePath("set2.svg")).contains("plate.ovd: set 2 of 2"));
    r = runCli({"export", "plate.ovd", "--png", "x.png", "--set", "3"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("no set 3")) << r.err.toStdString();

    r = runCli({"report", "plate.ovd", "--pdf", "report.pdf"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QProcess text;
    text.start("pdftotext", {"-layout", dir.filePath("report.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected :
         {"Plate report: plate.ovd", "Ines", "2024-03-14", "09:05:07", "A1-H11", "Set 1 of 2",
          "Page 1 of 2", "Page 2 of 2", "1.0", "1000000.0", "sat", "823.0",
          "n=93 sat=1 min=1.0 max=1000000.0", "by the Vantorix program 2.1.0",
          "2 [Recovered, incomplete run: 1 of 2 sets complete]", "plate washed twice, plate",
          "\u2026", "Figures of set 1 (values in relative light units, less the dark offset)"})
        EXPECT_TRUE(pdf.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                               << pdf.toStdString();
    for (const char* absent : {"3/14/2024", "LAST"}) EXPECT_FALSE(pdf.contains(absent)) << absent;

    for (const QStringList& args :
         {QStringList{"report", "plate.ovd"}, QStringList{"report", "--pdf", "a.pdf"},
          QStringList{"report", "plate.ovd", "--pdf", "no/such/a.pdf"}}) {
        r = runCli(args, dir.path());
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/a.pdf")));
}

// A header field of megabytes (a hand-edited file) is drawn only as far as a line shows it,
// so the report takes ordinary memory: unbounded, laying out 10 MB of notes took ~470 MB.
TEST(PaintReport, AHugeHeaderFieldIsDrawnOnlyAsFarAsALineShowsIt) {
#if !defined(Q_OS_UNIX) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs the plain build's memory figures of a child process";
#else
    QTemporaryDir dir;
    writeTwoSetFile(dir.path(),
                    [](PlateDocument& d) { d.header.notes = QString(10'000'000, u'n'); });
    const CliResult r = runCli({"report", "plate.ovd", "--pdf", "report.pdf"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 250 * 1024) << "kB at most";
#endif
}
