#include <gtest/gtest.h>

#include <QDateTime>
#include <QTemporaryDir>

#include "files/PlateFile.h"
#include "plate/PlateGeometry.h"
#include "support/TestSupport.h"

namespace vantorix {
namespace {

TEST(PlateGeometry, WellNamesReadBackOnlyForWellsOfThePlate) {
    const struct {
        const char* name;
        int well;  // -1: not a well
    } cases[] = {{"A1", 0},   {"a12", 11}, {" B07 ", 18}, {"H12", 95}, {"I1", -1},
                 {"A13", -1}, {"A0", -1},  {"", -1},      {"A", -1},   {"A١", -1}};
    for (const auto& c : cases) {
        const auto well = wellFromName(QString::fromUtf8(c.name));
        EXPECT_EQ(well.value_or(-1), c.well) << c.name;
    }
    EXPECT_EQ(wellName(0), "A1");
    EXPECT_EQ(wellName(95), "H12");
    EXPECT_EQ(wellName(96), "");
}

// A document written to a data file and read back is the same document: readings, times,
// saturated and missing wells, the selection, the header and the firmware version.
TEST(PlateFile, ADocumentWrittenAndReadBackIsTheSame) {
    PlateDocument d;
    d.header = {"ATP", "Ana", "P-7", "two sets", {}, {}, true};
    d.options.Sensitive = 1;
    d.options.SelectedWells[7][11] = false;
    d.firmwareVersion = "4.2";
    for (int set = 0; set < 2; ++set) {
        Dataset data;
        for (int w = 0; w < kWellCount; ++w)
            data.wells[w] = {1000.0 + w + set, double(w), WellStatus::Read};
        data.wells[3] = {2000000, 3, WellStatus::Saturated};
        data.wells[4] = {std::nullopt, std::nullopt, WellStatus::NoReading};
        data.wells[95] = {std::nullopt, std::nullopt, WellStatus::NotSelected};
        data.wells[5].raw = 12.5;
        d.datasets.push_back(data);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("plate.ovd");
    const QDateTime when(QDate(2026, 12, 7), QTime(15, 4, 5));
    ASSERT_TRUE(writePlateFile(d, path, when).ok);
    PlateFileRead read = readPlateFile(path);
    ASSERT_TRUE(read.ok) << read.message.toStdString();
    EXPECT_EQ(read.document.header.dateText, "12/7/2026");
    EXPECT_EQ(read.document.header.timeText, "3:04:05 PM");
    EXPECT_EQ(read.document.formatId, "C");
    read.document.header.dateText.clear();
    read.document.header.timeText.clear();
    read.document.formatId.clear();
    read.document.programVersion.clear();
    EXPECT_TRUE(read.document == d);
    EXPECT_EQ(read.document.datasets[1].wells[5].raw.value_or(-1), 12.5);
    EXPECT_EQ(read.document.datasets[1].wells[6].raw.value_or(-1), 1007);
}

}  // namespace
}  // namespace vantorix
