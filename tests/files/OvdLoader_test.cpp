#include "files/OvdLoader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "OvdSamples.h"
#include "kernel/ProgramState.h"
#include "support/TestSupport.h"

using namespace vantorix;

namespace {

struct Folder {
    QTemporaryDir dir;
    ProgramState s;
    LoadResult load(const QByteArray& bytes) {
        test::writeFileBytes(dir.filePath("f.ovd"), bytes);
        return LoadDataFile(s, dir.path(), "f.ovd");
    }
    QString value(int set, int well) const {
        return s.readings.at(set, well / 12 + 1, well % 12 + 1).Value;
    }
    QString time(int set, int well) const {
        return s.readings.at(set, well / 12 + 1, well % 12 + 1).Time;
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
    f.s.CurrentSet = 2;
    const LoadResult r = f.load(test::handWrittenC());
    ASSERT_TRUE(r.ok && r.parsed) << r.message.toStdString();
    EXPECT_EQ(r.setsLoaded, 2);
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(f.s.FileFormatId, "C");
    EXPECT_EQ(f.s.CurrentSet, 1);
    EXPECT_EQ(f.value(1, 0), "1000");
    EXPECT_EQ(f.value(1, 95), "1095");
    EXPECT_EQ(f.time(1, 13), "13");
    EXPECT_EQ(f.value(2, 50), "2050");
    EXPECT_EQ(f.time(2, 0), "-1");
    EXPECT_EQ(f.time(2, 95), "-1");
}

TEST(OvdLoader, ListsAndSetCounts) {
    const struct {
        const char* name;
        QByteArray file;
        int sets;
        const char *first, *last;    // values of wells A1 and H12 of set 1
        const char* time = nullptr;  // of A1 in set 1, "9" before the load; null: not checked
    } cases[] = {
        {"format B has no times", test::handWrittenB(), 1, "500", "595", "-1"},
        {"short list leaves wells empty",
         "<orvexa-labs-format><user-application><format-id>C</format-id></"
         "user-application><data><sets>1</sets>"
         "<set-data-001>  5   6 </set-data-001></data></orvexa-labs-format>",
         1, "5", ""},
        {"surplus tokens are ignored", cFileWithSets("1", 1) + "", 1, "1000", "1095"},
        {"a file holding no list holds no set", cFileWithSets("2", 0), 0, "", ""},
        {"sets that are not a number", cFileWithSets("many", 1), 0, "", ""},
        {"negative sets", cFileWithSets("-3", 1), 0, "", ""},
        {"fractional sets round", cFileWithSets("1.6", 2), 2, "1000", "1095"},
        {"unknown format has no data key",
         "<orvexa-labs-format><user-application><format-id>D</format-id></"
         "user-application><data><sets>1</sets>"
         "<set-data-001>1 2</set-data-001></data></orvexa-labs-format>",
         1, "-1", "-1", "9"},  // and leaves the times alone
    };
    for (const auto& c : cases) {
        Folder f;
        f.s.readings.at(1, 1, 1).Time = "9";
        const LoadResult r = f.load(c.file);
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_EQ(r.setsLoaded, c.sets) << c.name;
        EXPECT_EQ(f.value(1, 0), c.first) << c.name;
        EXPECT_EQ(f.value(1, 95), c.last) << c.name;
        if (c.time) {
            EXPECT_EQ(f.time(1, 0), c.time) << c.name;
        }
    }
}

// Readings holds 255 sets; a file that claims more loads what fits and says so.
TEST(OvdLoader, MoreThan255SetsAreCutAndReported) {
    for (const QByteArray& declared : {QByteArray("256"), QByteArray("40000")}) {
        Folder f;
        const LoadResult r = f.load(cFileWithSets(declared, 256));
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.truncated);
        EXPECT_EQ(r.setsLoaded, 255);
        EXPECT_TRUE(r.message.contains("255")) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QString::fromLatin1(declared))) << r.message.toStdString();
        EXPECT_EQ(f.value(255, 0), "255000");
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
        const LoadResult r = f.load(t.file);
        ASSERT_TRUE(r.ok) << t.name << r.message.toStdString();
        EXPECT_EQ(r.setsLoaded, t.sets) << t.name;
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
        const LoadResult r = f.load(bytes);
        EXPECT_FALSE(r.ok) << bytes.toHex().constData();
        EXPECT_TRUE(r.parsed);  // refused after the parse: the opener still writes the dump
        EXPECT_EQ(r.message,
                  "Can't open that file\nf.ovd: it is not a Vantorix data file (it holds none of "
                  "the data format's elements)");
    }
}

TEST(OvdLoader, FailureNamesTheFileAndTheReasonAndChangesNoReadings) {
    Folder f;
    f.s.readings.at(1, 1, 1).Value = "keep";
    f.s.CurrentSet = 3;
    f.s.FileFormatId = "C";
    LoadResult r = f.load("<data><sets>1</Sets></data>");
    EXPECT_FALSE(r.ok || r.parsed);
    EXPECT_TRUE(r.message.startsWith("Can't open that file\nf.ovd: ")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("</Sets>"));
    EXPECT_EQ(f.value(1, 0), "keep");
    EXPECT_EQ(f.s.CurrentSet, 3);
    EXPECT_EQ(f.s.FileFormatId, "C");

    r = LoadDataFile(f.s, f.dir.path(), "nowhere.ovd");
    EXPECT_FALSE(r.ok || r.parsed);
    EXPECT_TRUE(r.message.startsWith("Can't open that file\nnowhere.ovd: "));
}

TEST(OvdLoader, NextToken) {
    const struct {
        const char *text, *token, *rest;
    } cases[] = {{"1 2 3", "1", "2 3"}, {"  1   2  ", "1", "  2"}, {"7", "7", ""}, {"   ", "", ""},
                 {"", "", ""},          {"a\tb c", "a\tb", "c"}};
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(NextToken(text), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}
