// vantorix-cli analyze and fit: exact output lines, the CSV, and which mistakes are bad usage
// (2) and which the data's (1), each named, with nothing written.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "analysis/AnalysisPlate.h"
#include "analysis/LayoutFile.h"
#include "files/PlateFile.h"
#include "history/History.h"
#include "kernel/SettingsStore.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

namespace vantorix {
namespace {

const char* const kHandLine =
    "Set 1: fit=linear a=17.8261 b=99.3913 c=- d=- g=- r2=0.999886 lloq=10 uloq=80 "
    "zprime=0.810031 sb=10.1961 qc=PASS\n";

// Set 1 is the plate worked out by hand; set 2 has every standard saturated.
struct Files {
    QTemporaryDir dir;
    QString data = dir.filePath("run.ovd"), layout = dir.filePath("run.layout.csv"),
            csv = dir.filePath("out.csv");
    Files() {
        PlateDocument d;
        for (auto& row : d.options.SelectedWells) row.fill(true);
        Dataset set;
        test::handPlate(set, d.layout);
        d.datasets = {set, set};
        for (int w = 0; w < kWellCount; ++w)
            if (d.layout.wells[size_t(w)].role == WellRole::Standard)
                d.datasets[1].wells[size_t(w)].raw = 1.5e6;
        EXPECT_TRUE(writePlateFile(d, data, QDateTime(QDate(2026, 12, 7), QTime(9, 0))).ok);
        EXPECT_TRUE(writeLayoutFile(d.layout, layout).isEmpty());
    }
};

TEST(AnalyzeCli, PrintsTheSetLineAndWritesOneCsvRowPerWell) {
    Files f;
    const test::CliResult r = test::runCli(
        {"analyze", f.data, "--layout", f.layout, "--set", "1", "--fit", "linear", "--csv", f.csv});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, kHandLine);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QStringList rows = QString::fromUtf8(test::readFileBytes(f.csv)).split('\n');
    ASSERT_EQ(rows.size(), 26);  // header, 24 wells, the final line end
    EXPECT_EQ(rows[0], "set,well,role,name,value,corrected,mean,sd,cv,concentration,recovery,flag");
    EXPECT_EQ(rows[3], "1,B1,standard,,1110,1000,1010,14.1421,1.40021,9.88189,98.8189,");
    EXPECT_EQ(rows[11], "1,B9,standard,,1500000,-,-,-,-,-,-,saturated");
    EXPECT_EQ(rows[13], "1,C1,sample,S1,3110,3000,3050,70.7107,2.31838,60.0087,-,");
    EXPECT_EQ(rows[18], "1,C6,sample,S2,1110,1000,1500,707.107,47.1405,-,-,cv; <LLOQ");

    // Controls only: no curve, nothing subtracted, and the user is told so once.
    const QString controls = f.dir.filePath("controls.csv");
    test::writeFileBytes(controls,
                         "well,role\nD1,positive\nD2,positive\nD3,negative\nD4,negative\n");
    const test::CliResult c = test::runCli({"analyze", f.data, "--layout", controls});
    EXPECT_EQ(c.exitCode, 0) << c.err.toStdString();
    const QString line =
        "fit=- a=- b=- c=- d=- g=- r2=- lloq=- uloq=- zprime=0.810031 sb=10.1961 qc=PASS\n";
    EXPECT_EQ(c.out, "Set 1: " + line + "Set 2: " + line);
    EXPECT_EQ(c.err,
              "vantorix-cli: sets 1-2: no blank wells with readings: values are not "
              "blank-subtracted\n");
}

// The analysis leaves one event in the history: the layout file's SHA-256, the model and each
// well left out with its reason.
TEST(AnalyzeCli, AnAnalysisIsRecordedWithItsLayoutModelAndExcludedWells) {
    Files f;
    const QString controls = f.dir.filePath("controls.csv");
    test::writeFileBytes(controls,
                         "well,role,name,concentration,dilution,excluded\nD1,positive,,,,\n"
                         "D2,positive,,,,\nD3,negative,,,,\nD4,negative,,,,\n"
                         "D5,positive,,,,bubble\nD6,negative,,,,tip touched the wall\n");
    const test::CliResult r =
        test::runCli({"analyze", f.data, "--layout", controls, "--fit", "5pl"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    history::History h(history::historyPath(QSettingsStore()));
    const std::vector<history::StoredEvent> events = h.events();
    ASSERT_FALSE(events.empty());
    const history::Event expected{
        history::EventKind::AnalysisDone,
        f.data,
        {{"layout_sha256", "9990f7268d8bbb3df71c40bf26ab5d0410aedc5fd90c2d01f0832535fde8d585"},
         {"model", "5pl"},
         {"excluded.D5", "bubble"},
         {"excluded.D6", "tip touched the wall"}}};
    EXPECT_EQ(events.back().event, expected);
}

TEST(AnalyzeCli, BadUsageAndUnsupportableDataFailNamingTheCauseAndWriteNothing) {
    Files f;
    const QString twice = f.dir.filePath("twice.csv"), three = f.dir.filePath("three.csv");
    test::writeFileBytes(twice, "well,role\nA1,blank\nA1,sample\n");
    test::writeFileBytes(
        three, "well,role,concentration\nB1,standard,10\nB3,standard,20\nB5,standard,40\n");
    const struct {
        QStringList args;
        int exitCode;
        const char* error;
    } cases[] = {
        {{"analyze", f.data}, 2, "analyze: --layout LAYOUT is missing"},
        {{"analyze", f.data, "--layout", f.layout, "--fit", "cubic"},
         2,
         "analyze: --fit needs linear, loglog, 4pl or 5pl"},
        {{"analyze", f.data, "--layout", f.layout, "--weight", "1/x"},
         2,
         "analyze: --weight needs none, 1/y or 1/y2"},
        {{"analyze", f.data, "--layout", twice}, 2, "line 3: A1 appears twice (first on line 2)"},
        {{"analyze", f.data, "--layout", f.layout, "--fit", "linear"},
         1,
         "set 2: every standard well is saturated"},
        {{"analyze", f.data, "--layout", three, "--set", "1"},
         1,
         "set 1: 4pl needs at least 4 standard wells with readings; 3 have one"},
        {{"analyze", f.data, "--layout", f.layout, "--set", "3"},
         1,
         "holds 2 sets; there is no set 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const test::CliResult r = test::runCli(c.args + QStringList{"--csv", f.csv});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_FALSE(QFile::exists(f.csv));
    }
}

// A PDF that cannot be written fails the command with no CSV left of it: a new one is not
// written, an earlier one stays as it was.
TEST(AnalyzeCli, APdfThatCannotBeWrittenLeavesNoCsvOfTheRun) {
    Files f;
    test::TinyTmpfs disk(64);
    if (disk.mounted()) disk.fillLeaving(4096);
    const struct {
        const char* what;
        QString pdf;
        QByteArray earlierCsv;  // empty: no CSV before the run
    } cases[] = {
        {"a missing folder", f.dir.filePath("gone/report.pdf"), {}},
        {"a missing folder, over an earlier CSV", f.dir.filePath("gone/report.pdf"), "earlier\n"},
        {"a full disk", disk.path() + "/report.pdf", "earlier\n"},
    };
    for (const auto& c : cases) {
        if (!disk.mounted() && c.pdf.startsWith(disk.path())) continue;
        SCOPED_TRACE(c.what);
        QFile::remove(f.csv);
        if (!c.earlierCsv.isEmpty()) test::writeFileBytes(f.csv, c.earlierCsv);
        const test::CliResult r = test::runCli({"analyze", f.data, "--layout", f.layout, "--set",
                                                "1", "--csv", f.csv, "--pdf", c.pdf});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith("vantorix-cli: cannot write " + c.pdf + ": "))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_EQ(QFile::exists(f.csv), !c.earlierCsv.isEmpty());
        if (!c.earlierCsv.isEmpty()) {
            EXPECT_EQ(test::readFileBytes(f.csv), c.earlierCsv);
        }
        EXPECT_FALSE(QFile::exists(c.pdf));
        EXPECT_EQ(QDir(f.dir.path()).entryList({"out.csv.*"}, QDir::Files | QDir::Hidden),
                  QStringList());
    }
}

TEST(FitCli, PrintsEachParameterWithItsStandardErrorThenRssAndR2) {
    // Linear by hand: xbar 2.5, ybar 5, Sxx 5, Sxy 9.7, rss 0.082, s^2 0.041, SST 18.9. The
    // weighted line and the loglog one (R2 of log10 y) by numpy's weighted normal equations.
    const struct {
        QStringList options;
        const char *data, *out;
    } cases[] = {
        {{"--model", "linear"},
         "x,y\n1,2.1\n2,3.9\n3,6.2\n4,7.8\n",
         "a = 0.15 +- 0.247992\nb = 1.94 +- 0.0905539\nrss = 0.082\nr2 = 0.995661\n"},
        {{"--model", "linear", "--weight", "1/y2"},
         "x,y\n1,2.1\n2,3.9\n3,6.2\n4,7.8\n",
         "a = 0.149824 +- 0.130068\nb = 1.93593 +- 0.0757765\nrss = 0.00269173\nr2 = 0.995634\n"},
        // Started at its own solution, the line must not be taken for a failed fit.
        {{"--model", "linear"},
         "x,y\n1000,55798\n300,43117\n100,27355\n30,10739\n10,3917\n3,1132\n1000,53610\n"
         "300,44437\n100,26813\n30,11173\n10,3689\n3,1190\n",
         "a = 11814.2 +- 3943.51\nb = 48.9259 +- 9.20583\nrss = 1277940000\nr2 = 0.738532\n"},
        {{"--model", "loglog"},
         "x,y\n1,10\n10,30\n100,100\n",
         "a = 0.992374 +- 0.0170528\nb = 0.5 +- 0.013209\nrss = 0.000348958\nr2 = 0.999303\n"},
    };
    QTemporaryDir dir;
    const QString points = dir.filePath("points.csv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        test::writeFileBytes(points, c.data);
        const test::CliResult r =
            test::runCli(QStringList{"fit"} + c.options + QStringList{points});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, c.out);
    }
    const test::CliResult noModel = test::runCli({"fit", points});
    EXPECT_EQ(noModel.exitCode, 2);
    EXPECT_TRUE(noModel.err.contains("fit: --model is missing")) << noModel.err.toStdString();
    test::writeFileBytes(points, "x,y\n1,2.1\n2,3.9\n3,6.2\n");
    const test::CliResult few = test::runCli({"fit", "--model", "4pl", points});
    EXPECT_EQ(few.exitCode, 1);
    EXPECT_TRUE(few.err.contains("4pl needs at least 4 points; 3 given")) << few.err.toStdString();
    EXPECT_TRUE(few.out.isEmpty());
}

}  // namespace
}  // namespace vantorix
