#include "files/OvdWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "OvdSamples.h"
#include "files/OvdParser.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;
using vantorix::test::entriesOf;

namespace {

const QDateTime kNow(QDate(2025, 3, 7), QTime(21, 5, 7));

// State for a run of the sets first..last, reading 1000 + well at time well.
ProgramState runState(const QString& folder, int first, int last) {
    ProgramState s;
    s.DataFileName = QDir(folder).filePath(QStringLiteral("run.ovd"));
    s.FirstSet = qint16(first);
    s.LastSet = qint16(last);
    s.FirmwareVersion = QStringLiteral("FW 3.2");
    s.Test = QStringLiteral("glow");
    s.Operator = QStringLiteral("Ana");
    s.PlateNo = QStringLiteral("17");
    s.Notes = QStringLiteral("a=b & c");
    for (int set = first; set <= last; ++set)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c) {
                const int well = (r - 1) * 12 + (c - 1);
                s.readings.at(set, r, c) = {QString::number(1000 + well), QString::number(well)};
            }
    return s;
}

QStringList writeAndParse(ProgramState& s) {
    const WriteResult w = WriteDataFile(s, QString(), kNow, ProgramVersion{2, 1, 7});
    EXPECT_TRUE(w.ok) << w.error.toStdString();
    QString reason;
    EXPECT_TRUE(ParseDataFile(s.keyStore, QString(), false, s.DataFileName, &reason))
        << reason.toStdString();
    return entriesOf(s.keyStore);
}

QString fields(const ProgramState& s, int set, bool times) {
    QString t;
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 12; ++c) {
            const Reading& w = s.readings.at(set, r, c);
            t += (s.CurrentOptions.SelectedWells[r - 1][c - 1] ? (times ? w.Time : w.Value)
                                                               : QStringLiteral("-1")) +
                 u' ';
        }
    return t;
}

}  // namespace

// What the file takes from the run: the version given, the header texts, the mask and the
// sets renumbered from 1. The bytes around them, keys, order, indents and line ends, are
// pinned by the recorded runs (RunGolden_test, its "file" sections).
TEST(OvdWriter, WrittenFileHoldsTheRunsValues) {
    QTemporaryDir dir;
    ProgramState s = runState(dir.path(), 5, 7);
    s.CurrentOptions.SelectedWells[1][3] = false;  // B4 is not read
    s.CurrentOptions.Sensitive = 1;
    EXPECT_EQ(writeAndParse(s).size(), 43);
    const std::pair<const char*, QString> expected[] = {
        {"user-application.version.string", "2.1.7"},
        {"firmware.version.string", "FW 3.2"},
        {"data-header.test", "glow"},
        {"data-header.operator", "Ana"},
        {"data-header.plate-no", "17"},
        {"data-header.notes", "a=b & c"},
        {"data-header.extra-sensitivity-option", "On"},
        {"data.mask.row-000", "111111111111"},
        {"data.mask.row-001", "111011111111"},
        {"data.sets", "3"},
        {"data.set-data-001", fields(s, 5, false)},
        {"data.set-timestamp-003", fields(s, 7, true)},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(s.keyStore.value(".orvexa-labs-format." + QString::fromLatin1(key)), value)
            << key;
    EXPECT_TRUE(fields(s, 5, false).startsWith("1000 1001 1002 1003 1004 "));
    EXPECT_TRUE(fields(s, 5, false).contains(" 1014 -1 1016 "));
}

TEST(OvdWriter, Statistics) {
    const struct {
        const char* name;
        int first, last;
        QStringList values;  // well A1.., the rest "-1"
        const char *min, *max, *avg;
    } cases[] = {
        {"no sets", 1, 0, {}, "9999", "-1", "0"},
        {"sets without a counted reading", 1, 2, {"0", "-5", "abc"}, "9999", "-1", "0"},
        {"over 9999: min kept", 1, 1, {"20000", "30000"}, "9999", "30000", "25000"},
        {"double precision", 1, 1, {"1473000.25", "1", "2"}, "1", "1473000", "491001.083333333"},
        {"leading number of the text", 1, 1, {"12abc", " 4"}, "4", "12", "8"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ProgramState s = runState(dir.path(), c.first, c.last);
        for (int set = 1; set <= 2; ++set)
            for (int well = 0; well < 96; ++well)
                s.readings.at(set, well / 12 + 1, well % 12 + 1).Value =
                    well < c.values.size() ? c.values[well] : QStringLiteral("-1");
        writeAndParse(s);
        const QString d = QStringLiteral(".orvexa-labs-format.data.");
        EXPECT_EQ(s.keyStore.value(d + "min-value"), c.min) << c.name;
        EXPECT_EQ(s.keyStore.value(d + "max-value"), c.max) << c.name;
        EXPECT_EQ(s.keyStore.value(d + "avg-value"), c.avg) << c.name;
    }
}

// Nothing the user or the instrument typed can make the file unreadable or shift its fields.
TEST(OvdWriter, ValuesThatWouldBreakTheFileAreCleaned) {
    QTemporaryDir dir;
    ProgramState s = runState(dir.path(), 1, 1);
    s.Notes = QStringLiteral("<b>bold</b> 1<2");
    s.Operator = QStringLiteral("José");
    s.FirmwareVersion = QStringLiteral("<v1>");
    s.readings.at(1, 1, 1).Value = QString();
    s.readings.at(1, 1, 2).Value = QStringLiteral("12 34");
    s.readings.at(1, 1, 3).Value = QStringLiteral("<99");
    writeAndParse(s);
    const QString h = QStringLiteral(".orvexa-labs-format.");
    EXPECT_EQ(s.keyStore.value(h + "data-header.notes"), "b>bold/b> 12");
    EXPECT_EQ(s.keyStore.value(h + "data-header.operator"), "José");
    EXPECT_EQ(s.keyStore.value(h + "firmware.version.string"), "v1>");
    EXPECT_TRUE(s.keyStore.value(h + "data.set-data-001").startsWith("0 12 99 1003 "));
    EXPECT_TRUE(test::readFileBytes(dir.filePath("run.ovd")).contains("Jos\xc3\xa9"));
}

TEST(OvdWriter, WriteErrorsAreReportedAndKeepTheOldFile) {
    QTemporaryDir dir;
    ProgramState s = runState(dir.path(), 1, 1);
    s.DataFileName = dir.filePath("missing-folder/run.ovd");
    WriteResult w = WriteDataFile(s, QString(), kNow);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.error.contains("missing-folder")) << w.error.toStdString();

    // A folder standing where the file should go cannot be replaced.
    QDir(dir.path()).mkdir("taken.ovd");
    s.DataFileName = dir.filePath("taken.ovd");
    w = WriteDataFile(s, QString(), kNow);
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.error.isEmpty());

    s.DataFileName = QString();
    EXPECT_FALSE(WriteDataFile(s, QString(), kNow).ok);
    s.DataFileName = dir.filePath("range.ovd");
    s.LastSet = 300;
    EXPECT_FALSE(WriteDataFile(s, QString(), kNow).ok);
}

// A full disk fails the write or its flush; the old file stays byte for byte, nothing is left
// beside it, and the reason names the cause.
TEST(OvdWriter, FullDiskKeepsTheOldFileByteIdentical) {
    test::TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    ProgramState s = runState(disk.path(), 1, 3);
    const QString path = disk.path() + "/run.ovd";
    const QByteArray old = "an earlier plate\r\n";
    test::writeFileBytes(path, old);
    const struct { qint64 free_bytes; } cases[] = {{0}, {1000}, {4096}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.free_bytes);
        QFile::remove(disk.path() + "/filler");
        disk.fillLeaving(c.free_bytes);
        const WriteResult w = WriteDataFile(s, QString(), kNow);
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.error.contains("run.ovd")) << w.error.toStdString();
        EXPECT_EQ(test::readFileBytes(path), old);
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList({"filler", "run.ovd"}));
    }
}

TEST(OvdWriter, ReplacesAnExistingFileWhole) {
    QTemporaryDir dir;
    ProgramState s = runState(dir.path(), 1, 1);
    test::writeFileBytes(dir.filePath("run.ovd"), QByteArray(1 << 20, 'x'));
    ASSERT_TRUE(WriteDataFile(s, QString(), kNow).ok);
    const QByteArray bytes = test::readFileBytes(dir.filePath("run.ovd"));
    EXPECT_TRUE(bytes.startsWith("<?xml"));
    EXPECT_FALSE(bytes.contains("xxx"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"run.ovd"}));
}

TEST(OvdWriter, MorningAndMiddayTimes) {
    QTemporaryDir dir;
    const struct {
        QTime time;
        const char* text;
    } cases[] = {{QTime(0, 0, 5), "12:00:05 AM"},
                 {QTime(9, 5, 7), "9:05:07 AM"},
                 {QTime(12, 30, 0), "12:30:00 PM"},
                 {QTime(23, 59, 59), "11:59:59 PM"}};
    for (const auto& c : cases) {
        ProgramState s = runState(dir.path(), 1, 0);
        ASSERT_TRUE(WriteDataFile(s, QString(), QDateTime(QDate(2024, 12, 31), c.time)).ok);
        ASSERT_TRUE(ParseDataFile(s.keyStore, QString(), true, s.DataFileName));
        EXPECT_EQ(s.keyStore.value(".orvexa-labs-format.data-header.time"), c.text);
        EXPECT_EQ(s.keyStore.value(".orvexa-labs-format.data-header.date"), "12/31/2024");
    }
}
