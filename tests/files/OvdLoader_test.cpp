#include "files/OvdLoader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "OvdSamples.h"
#include "files/PlateFile.h"
#include "support/TestSupport.h"

using namespace vantorix;

namespace {

using Value = std::optional<double>;
constexpr std::nullopt_t none = std::nullopt;

struct Folder {
    QTemporaryDir dir;
    PlateFileRead read;
    const PlateFileRead& load(const QByteArray& bytes) {
        test::writeFileBytes(dir.filePath("f.ovd"), bytes);
        read = readPlateFile(dir.filePath("f.ovd"), "f.ovd");
        return read;
    }
    const WellReading& well(int set, int well) const {
        return read.document.datasets.at(size_t(set - 1)).wells.at(size_t(well));
    }
};

QByteArray cFileWithSets(const QByteArray& declared, int listed) {
    QByteArray t =
        "<orvexa-labs-format><user-application><format-id>C</format-id></"
        "user-application><data><sets>" +
        declared + "</sets>";
    for (int n = 1; n <= listed; ++n) {
        const QByteArray nnn = QByteArray::number(n).rightJustified(3, '0');
        t += "<set-data-" + nnn + ">" + test::fieldList(n * 1000) + "</set-data-" + nnn + ">";
    }
    return t + "</data></orvexa-labs-format>";
}

}  // namespace

TEST(OvdLoader, FormatCWithAMissingTimeList) {
    Folder f;
    const PlateFileRead& r = f.load(test::handWrittenC());
    ASSERT_TRUE(r.ok && r.parsed) << r.message.toStdString();
    EXPECT_EQ(r.document.setCount(), 2);
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(r.document.formatId, "C");
    EXPECT_EQ(r.document.header.operatorName, "Ana");
    EXPECT_EQ(f.well(1, 0).raw, Value(1000));
    EXPECT_EQ(f.well(1, 95).raw, Value(1095));
    EXPECT_EQ(f.well(1, 13).seconds, Value(13));
    EXPECT_EQ(f.well(2, 50).raw, Value(2050));
    EXPECT_EQ(f.well(2, 0).seconds, none);
    EXPECT_EQ(f.well(2, 95).seconds, none);
    // No mask: the wells holding a reading were the ones read.
    EXPECT_EQ(f.well(2, 95).status, WellStatus::Read);
    EXPECT_TRUE(r.document.selected(95));
    EXPECT_EQ(r.entries.front(), ".orvexa-labs-format.format-id=A");
}

TEST(OvdLoader, ListsAndSetCounts) {
    const struct {
        const char* name;
        QByteArray file;
        int sets;
        Value first, last;  // readings of wells A1 and H12 of set 1
        Value time;         // of A1 in set 1
    } cases[] = {
        {"format B has no times", test::handWrittenB(), 1, 500, 595, none},
        {"short list leaves wells without readings",
         "<orvexa-labs-format><user-application><format-id>C</format-id></"
         "user-application><data><sets>1</sets>"
         "<set-data-001>  5   6 </set-data-001><set-timestamp-001>x</set-timestamp-001>"
         "</data></orvexa-labs-format>",
         1, 5, none, 0},  // a time that is no number reads 0, as the grid always showed it
        {"surplus tokens are ignored", cFileWithSets("1", 1) + "", 1, 1000, 1095, none},
        {"a file holding no list holds no set", cFileWithSets("2", 0), 0, none, none, none},
        {"sets that are not a number", cFileWithSets("many", 1), 0, none, none, none},
        {"negative sets", cFileWithSets("-3", 1), 0, none, none, none},
        {"fractional sets round", cFileWithSets("1.6", 2), 2, 1000, 1095, none},
        {"unknown format has no data key",
         "<orvexa-labs-format><user-application><format-id>D</format-id></"
         "user-application><data><sets>1</sets>"
         "<set-data-001>1 2</set-data-001></data></orvexa-labs-format>",
         1, none, none, none},
    };
    for (const auto& c : cases) {
        Folder f;
        const PlateFileRead& r = f.load(c.file);
        ASSERT_TRUE(r.ok) << c.name;
        ASSERT_EQ(r.document.setCount(), c.sets) << c.name;
        if (c.sets == 0) continue;
        EXPECT_EQ(f.well(1, 0).raw, c.first) << c.name;
        EXPECT_EQ(f.well(1, 95).raw, c.last) << c.name;
        EXPECT_EQ(f.well(1, 0).seconds, c.time) << c.name;
    }
}

// A token that is no number is no reading, and the user hears of it once.
TEST(OvdLoader, ReadingsThatAreNoNumberAreNoneAndCounted) {
    const struct {
        QByteArray list;
        Value a1, a2;
        QStringList notices;
    } cases[] = {
        {"17O194 -5 ",
         none,
         none,
         {"The file holds 1 reading that is not a number; it is shown as no reading."}},
        {"nan inf 3 ",
         none,
         none,
         {"The file holds 2 readings that are not numbers; they are shown as no reading."}},
        {"1e3 0.5 ", 1000, 0.5, {}},
    };
    for (const auto& c : cases) {
        Folder f;
        const PlateFileRead& r = f.load(
            "<orvexa-labs-format><user-application><format-id>C</format-id></user-application>"
            "<data><sets>1</sets><set-data-001>" +
            c.list + "</set-data-001></data></orvexa-labs-format>");
        ASSERT_TRUE(r.ok) << c.list.constData();
        EXPECT_EQ(f.well(1, 0).raw, c.a1) << c.list.constData();
        EXPECT_EQ(f.well(1, 1).raw, c.a2) << c.list.constData();
        EXPECT_EQ(r.notices, c.notices) << c.list.constData();
    }
}

// Readings holds 255 sets; a file that claims more loads what fits and says so.
TEST(OvdLoader, MoreThan255SetsAreCutAndReported) {
    for (const QByteArray& declared : {QByteArray("256"), QByteArray("40000")}) {
        Folder f;
        const PlateFileRead& r = f.load(cFileWithSets(declared, 256));
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.truncated);
        EXPECT_EQ(r.document.setCount(), 255);
        EXPECT_TRUE(r.message.contains("255")) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QString::fromLatin1(declared))) << r.message.toStdString();
        EXPECT_EQ(f.well(255, 0).raw, Value(255000));
    }
}

// What a file declares is not trusted: the user is told what it really holds, and a file cut
// off at its end still opens.
TEST(OvdLoader, SetsHeldAndFilesThatEndEarlyAreReported) {
    const QByteArray c = test::handWrittenC();
    const struct {
        const char* name;
        QByteArray file;
        int sets;
        QStringList notices;
    } cases[] = {
        {"declares 300, holds 2",
         cFileWithSets("300", 2),
         2,
         {"The file declares 300 sets but holds 2."}},
        {"declares what it holds", cFileWithSets("2", 2), 2, {}},
        {"cut off inside the second set",
         c.left(c.indexOf("</set-data-002>") - 10),
         1,
         {"The file declares 2 sets but holds 1.",
          "The file ends early (cut off while it was written or copied?); what it holds was "
          "loaded."}},
        {"cut off after the last set",
         c.left(c.indexOf("</data>")),
         2,
         {"The file ends early (cut off while it was written or copied?); what it holds was "
          "loaded."}},
    };
    for (const auto& t : cases) {
        Folder f;
        const PlateFileRead& r = f.load(t.file);
        ASSERT_TRUE(r.ok) << t.name << r.message.toStdString();
        EXPECT_EQ(r.document.setCount(), t.sets) << t.name;
        EXPECT_EQ(r.notices, t.notices) << t.name;
        EXPECT_EQ(r.message, t.notices.join('\n')) << t.name;
    }
}

TEST(OvdLoader, AFileWithoutAnyElementOfTheFormatIsRefused) {
    const QByteArray cases[] = {
        "",
        QByteArray("\x93\x01\xfe\x00\x7f<<>>\x02", 10),
        QByteArray("\xff\xfe<\0a\0>\0x\0<\0/\0a\0>\0", 18),  // UTF-16 text
        "<html><body>hello</body></html>",
        "<orvexa-labs-formats>x</orvexa-labs-formats>",
    };
    for (const QByteArray& bytes : cases) {
        Folder f;
        const PlateFileRead& r = f.load(bytes);
        EXPECT_FALSE(r.ok) << bytes.toHex().constData();
        EXPECT_TRUE(r.parsed);  // refused after the parse: the opener still writes the dump
        EXPECT_EQ(r.message,
                  "Can't open that file\nf.ovd: it is not a Vantorix data file (it holds none of "
                  "the data format's elements)");
    }
}

// Opening a file as the current document: a failure changes nothing of the document open.
TEST(OvdLoader, FailureNamesTheFileAndTheReasonAndChangesNoReadings) {
    QTemporaryDir dir;
    PlateDocument d;
    d.header.notes = "keep";
    test::writeFileBytes(dir.filePath("f.ovd"), "<data><sets>1</Sets></data>");
    LoadResult r = LoadDataFile(d, dir.path(), "f.ovd");
    EXPECT_FALSE(r.ok || r.parsed);
    EXPECT_TRUE(r.message.startsWith("Can't open that file\nf.ovd: ")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("</Sets>"));
    EXPECT_EQ(d.header.notes, "keep");

    r = LoadDataFile(d, dir.path(), "nowhere.ovd");
    EXPECT_FALSE(r.ok || r.parsed);
    EXPECT_TRUE(r.message.startsWith("Can't open that file\nnowhere.ovd: "));

    test::writeFileBytes(dir.filePath("f.ovd"), test::handWrittenC());
    r = LoadDataFile(d, dir.path(), "f.ovd");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(d.header.operatorName, "Ana");
}
