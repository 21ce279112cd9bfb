#include "files/PlateFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "OvdSamples.h"
#include "files/OvdParser.h"
#include "support/PlateBuilder.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;

namespace {

const QDateTime kNow(QDate(2025, 3, 7), QTime(21, 5, 7));

// A document of `sets` datasets reading 1000 + well at time well, with header texts.
PlateDocument runDocument(int sets) {
    PlateDocument d = test::plateDocument(
        sets, [](int, int r, int c) { return 1000 + (r - 1) * 12 + (c - 1); },
        [](int, int r, int c) { return (r - 1) * 12 + (c - 1); });
    d.firmwareVersion = QStringLiteral("FW 3.2");
    d.header.test = QStringLiteral("glow");
    d.header.operatorName = QStringLiteral("Ana");
    d.header.plateNo = QStringLiteral("17");
    d.header.notes = QStringLiteral("a=b & c");
    return d;
}

KeyStore writeAndParse(const PlateDocument& d, const QString& path, const QDateTime& now = kNow) {
    const WriteResult w = writePlateFile(d, path, now, ProgramVersion{2, 1, 7});
    EXPECT_TRUE(w.ok) << w.error.toStdString();
    KeyStore store;
    EXPECT_TRUE(parseDataBytes(store, test::readFileBytes(path), false));
    return store;
}

}  // namespace

// What the file takes from the document: the version given, the header texts, the mask and
// the readings and times, "-1" for none and for wells not read. The bytes around them, keys,
// order, indents and line ends, are pinned by the recorded runs (RunGolden_test, its "file"
// sections).
TEST(OvdWriter, WrittenFileHoldsTheDocumentsValues) {
    QTemporaryDir dir;
    PlateDocument d = runDocument(3);
    d.options.SelectedWells[1][3] = false;  // B4 is not read
    d.header.extraSensitive = true;
    test::setWell(d, 1, 1, 1, std::nullopt, std::nullopt);
    test::setWell(d, 1, 1, 2, 1000.25, 7.5);
    test::setWell(d, 1, 1, 3, 999999999999999, 1e15);  // the last whole number without exponent
    const KeyStore store = writeAndParse(d, dir.filePath("run.ovd"));
    EXPECT_EQ(store.KeyCount(), 43);
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
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(store.value(".orvexa-labs-format." + QString::fromLatin1(key)), value) << key;
    const QString data1 = store.value(".orvexa-labs-format.data.set-data-001");
    const QString times1 = store.value(".orvexa-labs-format.data.set-timestamp-001");
    const QString times3 = store.value(".orvexa-labs-format.data.set-timestamp-003");
    EXPECT_TRUE(data1.startsWith("-1 1000.25 999999999999999 1003 1004 ")) << data1.toStdString();
    EXPECT_TRUE(data1.contains(" 1014 -1 1016 ")) << data1.toStdString();
    EXPECT_TRUE(data1.endsWith(" 1095 ")) << data1.toStdString();
    EXPECT_TRUE(times1.startsWith("-1 7.5 1E+15 3 ")) << times1.toStdString();
    EXPECT_TRUE(times3.startsWith("0 1 2 3 ")) << times3.toStdString();
    EXPECT_TRUE(times3.contains(" 14 -1 16 ")) << times3.toStdString();
}

TEST(OvdWriter, Statistics) {
    const struct {
        const char* name;
        int sets;
        std::vector<std::optional<double>> values;  // well A1.., the rest none
        const char *min, *max, *avg;
    } cases[] = {
        {"no sets", 0, {}, "9999", "-1", "0"},
        {"sets without a counted reading", 2, {0, std::nullopt}, "9999", "-1", "0"},
        {"over 9999: min kept", 1, {20000, 30000}, "9999", "30000", "25000"},
        {"double precision", 1, {1473000.25, 1, 2}, "1", "1473000", "491001.083333333"},
        {"every set counts", 2, {4, 12}, "4", "12", "8"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const PlateDocument d = test::plateDocument(
            c.sets,
            [&](int, int r, int col) {
                const size_t well = size_t((r - 1) * 12 + col - 1);
                return well < c.values.size() ? c.values[well] : std::nullopt;
            },
            [](int, int, int) { return 0; });
        const KeyStore store = writeAndParse(d, dir.filePath("run.ovd"));
        const QString k = QStringLiteral(".orvexa-labs-format.data.");
        EXPECT_EQ(store.value(k + "min-value"), c.min) << c.name;
        EXPECT_EQ(store.value(k + "max-value"), c.max) << c.name;
        EXPECT_EQ(store.value(k + "avg-value"), c.avg) << c.name;
    }
}

// Nothing the user or the instrument typed can make the file unreadable.
TEST(OvdWriter, TextsThatWouldBreakTheFileAreCleaned) {
    QTemporaryDir dir;
    PlateDocument d = runDocument(1);
    d.header.notes = QStringLiteral("<b>bold</b> 1<2");
    d.header.operatorName = QStringLiteral("José");
    d.firmwareVersion = QStringLiteral("<v1>");
    const KeyStore store = writeAndParse(d, dir.filePath("run.ovd"));
    const QString h = QStringLiteral(".orvexa-labs-format.");
    EXPECT_EQ(store.value(h + "data-header.notes"), "b>bold/b> 12");
    EXPECT_EQ(store.value(h + "data-header.operator"), "José");
    EXPECT_EQ(store.value(h + "firmware.version.string"), "v1>");
    EXPECT_TRUE(test::readFileBytes(dir.filePath("run.ovd")).contains("Jos\xc3\xa9"));
}

TEST(OvdWriter, WriteErrorsAreReportedAndKeepTheOldFile) {
    QTemporaryDir dir;
    const PlateDocument d = runDocument(1);
    WriteResult w = writePlateFile(d, dir.filePath("missing-folder/run.ovd"), kNow);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.error.contains("missing-folder")) << w.error.toStdString();

    // A folder standing where the file should go cannot be replaced.
    QDir(dir.path()).mkdir("taken.ovd");
    w = writePlateFile(d, dir.filePath("taken.ovd"), kNow);
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.error.isEmpty());

    w = writePlateFile(test::plateDocument(256), dir.filePath("range.ovd"), kNow);
    EXPECT_EQ(w.error, "a data file holds at most 255 sets");
    EXPECT_FALSE(QFile::exists(dir.filePath("range.ovd")));
}

// A full disk fails the write or its flush; the old file stays byte for byte, nothing is left
// beside it, and the reason names the cause.
TEST(OvdWriter, FullDiskKeepsTheOldFileByteIdentical) {
    test::TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const PlateDocument d = runDocument(3);
    const QString path = disk.path() + "/run.ovd";
    const QByteArray old = "an earlier plate\r\n";
    test::writeFileBytes(path, old);
    const struct { qint64 free_bytes; } cases[] = {{0}, {1000}, {4096}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.free_bytes);
        QFile::remove(disk.path() + "/filler");
        disk.fillLeaving(c.free_bytes);
        const WriteResult w = writePlateFile(d, path, kNow);
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.error.contains("run.ovd")) << w.error.toStdString();
        EXPECT_EQ(test::readFileBytes(path), old);
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList({"filler", "run.ovd"}));
    }
}

TEST(OvdWriter, ReplacesAnExistingFileWhole) {
    QTemporaryDir dir;
    test::writeFileBytes(dir.filePath("run.ovd"), QByteArray(1 << 20, 'x'));
    ASSERT_TRUE(writePlateFile(runDocument(1), dir.filePath("run.ovd"), kNow).ok);
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
        const KeyStore store = writeAndParse(runDocument(0), dir.filePath("run.ovd"),
                                             QDateTime(QDate(2024, 12, 31), c.time));
        EXPECT_EQ(store.value(".orvexa-labs-format.data-header.time"), c.text);
        EXPECT_EQ(store.value(".orvexa-labs-format.data-header.date"), "12/31/2024");
    }
}
