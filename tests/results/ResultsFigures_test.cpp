// Well states, set statistics and the long table, from the rules up to vantorix-cli's output
// read back by Python's csv module.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include "files/OvdWriter.h"
#include "results/ExportTestDocument.h"
#include "results/RunProgress.h"
#include "results/SetStatistics.h"
#include "results/WellStatus.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// The rows of a CSV file as Python's csv module reads them.
QJsonArray pythonCsvRows(const QString& path) {
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "print(json.dumps(list(csv.reader(open(sys.argv[1], newline='')))))",
                             path});
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

QStringList row(const QJsonArray& rows, int i) {
    QStringList fields;
    for (const auto& f : rows.at(i).toArray()) fields << f.toString();
    return fields;
}

}  // namespace

TEST(WellStatus, FromReadingSelectionAndWhetherTheSetIsComplete) {
    struct Case {
        std::optional<double> raw;
        bool selected, complete;
        WellStatus expected;
        const char* key;
    } cases[] = {
        {std::nullopt, false, true, WellStatus::NotSelected, "not-selected"},
        {std::nullopt, true, false, WellStatus::Pending, "pending"},
        {std::nullopt, true, true, WellStatus::NoReading, "no-reading"},
        {0, true, true, WellStatus::Read, "read"},  // a reading of zero is a reading
        {1473000, true, false, WellStatus::Read, "read"},
        {1473000.5, true, true, WellStatus::Saturated, "saturated"},
        {500, false, true, WellStatus::Read, "read"},  // holds a reading though not selected
    };
    for (const Case& c : cases) {
        const WellStatus status = wellStatus(c.raw, c.selected, c.complete);
        EXPECT_EQ(status, c.expected) << c.raw.value_or(-1) << ' ' << c.selected;
        EXPECT_EQ(wellStatusKey(status), c.key);
    }
}

TEST(WellStatus, DocumentSelectionFromTheMaskElseFromTheReadings) {
    PlateDocument d;
    d.clearSet(2);
    d.dataset(2).at(2, 3).raw = 12;  // C4 read in set 2 only
    WellMatrix wells = documentSelection(d, 2);
    EXPECT_EQ(selectedCount(wells), 1);
    EXPECT_TRUE(wells[2][3]);
    EXPECT_EQ(selectedCount(documentSelection(d, 1)), 0);

    d.hasMask = true;
    for (auto& row : d.options.SelectedWells) row.fill(false);
    d.options.SelectedWells[0][0] = d.options.SelectedWells[0][1] = true;
    d.options.SelectedWells[7][11] = true;
    wells = documentSelection(d, 2);
    EXPECT_EQ(formatWellList(wells), "A1-A2,H12");
}

TEST(SetStatistics, FiguresOfASetAsTheGridShowsIt) {
    struct Case {
        std::vector<std::optional<double>> raws;
        const char* expected;
    } cases[] = {
        {{}, "n=0 sat=0 min=- max=- mean=- sd=- cv=-"},
        {{1000}, "n=1 sat=0 min=720.0 max=720.0 mean=720.0 sd=- cv=-"},
        {{2000000}, "n=0 sat=1 min=- max=- mean=- sd=- cv=-"},
        // 100 counts as 0 (below the offset); the saturated well is counted apart.
        {{1000, 1280, 100, 2000000}, "n=3 sat=1 min=0 max=1000.0 mean=573.3 sd=515.9 cv=89.98%"},
        {{279, 280}, "n=2 sat=0 min=0 max=0.0 mean=0 sd=0 cv=-"},
        {{1000280, 1200280},
         "n=2 sat=0 min=1000000.0 max=1200000.0 mean=1100000 sd=141400 cv=12.86%"},
        {{1473000, 1473000.5, 0}, "n=2 sat=1 min=0 max=1472720.0 mean=736400 sd=1041000 cv=141.4%"},
        {{1000, std::nullopt}, "n=1 sat=0 min=720.0 max=720.0 mean=720.0 sd=- cv=-"},
    };
    for (const Case& c : cases) {
        PlateDocument readings;
        readings.clearSet(4);
        int well = 0;
        for (const std::optional<double>& raw : c.raws) {
            readings.dataset(4).wells[size_t(well)].raw = raw;
            ++well;
        }
        EXPECT_EQ(statisticsText(setStatistics(readings, 4)), c.expected);
    }
}

TEST(SetStatistics, FourSignificantDigitsWithoutExponent) {
    struct Case {
        double value;
        const char* expected;
    } cases[] = {{767.46, "767.5"},    {123456, "123500"}, {0.012346, "0.01235"},
                 {9.99996, "10.00"},   {99999, "100000"},  {0, "0"},
                 {-3.14159, "-3.142"}, {1e6, "1000000"},   {1.5, "1.500"}};
    for (const Case& c : cases) EXPECT_EQ(significantText(c.value), c.expected) << c.value;
}

TEST(ResultsCli, StatisticsLinesAndTheLongTableOfAFile) {
    QTemporaryDir dir;
    writeTwoSetRun(dir.path());

    CliResult r = runCli({"show", "--stats", "plate.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "Set 1: n=93 sat=1 min=823.0 max=1531.0 mean=1180 sd=225.1 cv=19.07%\n"
              "Set 2: n=95 sat=0 min=1821.0 max=2531.0 mean=2173 sd=228.6 cv=10.52%\n");

    r = runCli({"export", "plate.ovd", "--long-csv", "long.csv"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.err.toStdString();
    const QJsonArray rows = pythonCsvRows(dir.filePath("long.csv"));
    ASSERT_EQ(rows.size(), 1 + 95 + 95);  // H12 was not selected
    struct Expected {
        int index;
        QStringList fields;
    } expected[] = {
        {0, {"set", "well", "value", "time", "status"}}, {1, {"1", "A1", "", "-1", "no-reading"}},
        {2, {"1", "A2", "", "3", "saturated"}},          {3, {"1", "A3", "823.0", "14", "read"}},
        {95, {"1", "H11", "1531.0", "29", "read"}},      {96, {"2", "A1", "1821.0", "22", "read"}},
        {190, {"2", "H11", "2531.0", "39", "read"}},
    };
    for (const Expected& e : expected) EXPECT_EQ(row(rows, e.index), e.fields) << e.index;
}

// A hand-edited token that is not a number (and a negative one) is no reading in every output;
// loading says once how many tokens are no number.
TEST(ResultsCli, TokensThatAreNoNumberAreNoReadingEverywhere) {
    QTemporaryDir dir;
    writeTwoSetFile(dir.path(), [](PlateDocument&) {});
    // Hand-edited: A1..A8 of set 1 (1101..1108 as written).
    QByteArray bytes = test::readFileBytes(dir.filePath("plate.ovd"));
    bytes.replace("<set-data-001>1101 1102 1103 1104 1105 1106 1107 1108 ",
                  "<set-data-001>17O194 abc 1749x5 nan inf -inf -5 170194 ");
    test::writeFileBytes(dir.filePath("plate.ovd"), bytes);
    CliResult r = runCli({"show", "plate.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nA\tX\tX\tX\tX\tX\tX\tX\t169914.0\t829.0\t830.0\t"))
        << r.out.toStdString();
    EXPECT_EQ(r.err,
              "vantorix-cli: The file holds 6 readings that are not numbers; they are shown as "
              "no reading.\n");

    r = runCli({"show", "--stats", "plate.ovd"}, dir.path());
    EXPECT_TRUE(r.out.startsWith("Set 1: n=88 sat=0 min=829.0 max=169914.0 "))
        << r.out.toStdString();

    r = runCli({"export", "plate.ovd", "--long-csv", "long.csv", "--csv", "wide.csv"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray rows = pythonCsvRows(dir.filePath("long.csv"));
    for (int w = 1; w <= 7; ++w)
        EXPECT_EQ(row(rows, w), (QStringList{"1", QStringLiteral("A%1").arg(w), "",
                                             QString::number(11 + w), "no-reading"}));
    EXPECT_EQ(row(rows, 8), (QStringList{"1", "A8", "169914.0", "19", "read"}));
    EXPECT_TRUE(
        readFileBytes(dir.filePath("wide.csv"))
            .contains("\r\n\"X\",\"X\",\"X\",\"X\",\"X\",\"X\",\"X\",169914,829,830,831,832\r\n"))
        << readFileBytes(dir.filePath("wide.csv")).left(600).toStdString();
}

TEST(RunProgress, PhaseSetWellsTimesAndTheBar) {
    struct Case {
        RunProgressInput in;
        const char* text;
        int permille;
    } cases[] = {
        {{RunPhase::Idle}, "Idle |  |  |  | ", 0},
        {{RunPhase::Options, 1, 2, 0, 12, 8000, 7950, 0},
         "Sending the run options | Set 1 of 2 | 0 of 12 wells read | 0:08 elapsed | about "
         "1:38 left",
         75},
        {{RunPhase::Waiting, 2, 2, 6, 12, 3723000, 1000, 0},
         "Reading wells | Set 2 of 2 | 6 of 12 wells read | 1:02:03 elapsed | about 13:09 left",
         825},
        {{RunPhase::Handshake, 1, 3, 0, 96, 1000, 1000, 0},
         "Contacting the instrument | Set 1 of 3 | 0 of 96 wells read | 0:01 elapsed | "
         "estimating time left",
         0},
        {{RunPhase::Delay, 5, 3, 96, 96, 60000, 0, 10000},  // a set beyond the count is clamped
         "Pause between sets | Set 3 of 3 | 96 of 96 wells read | 1:00 elapsed | about 0:00 left",
         1000},
    };
    for (const Case& c : cases) {
        const RunProgressView v = runProgressView(c.in);
        EXPECT_EQ(QStringList({v.phase, v.set, v.wells, v.elapsed, v.left}).join(" | "), c.text);
        EXPECT_EQ(v.permille, c.permille);
    }
}
