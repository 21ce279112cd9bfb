#include "files/FolderScan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FolderSamples.h"
#include "files/DateTimeSortKey.h"
#include "files/OvdHeaderParse.h"
#include "files/OvdParser.h"
#include "support/TestSupport.h"

using namespace vantorix;

namespace {

using test::at;
using test::writeDoc;

QStringList names(const std::vector<ListedFile>& rows) {
    QStringList out;
    for (const ListedFile& r : rows) out << r.fileName;
    return out;
}

// The header of a written file with the date and time texts replaced.
QByteArray withDateTime(QByteArray bytes, const QByteArray& date, const QByteArray& time) {
    const qsizetype d0 = bytes.indexOf("<date>") + 6, d1 = bytes.indexOf("</date>");
    bytes.replace(d0, d1 - d0, date);
    const qsizetype t0 = bytes.indexOf("<time>") + 6, t1 = bytes.indexOf("</time>");
    return bytes.replace(t0, t1 - t0, time);
}

}  // namespace

TEST(DateTimeSortKey, KeysFromWrittenDatesAndTimes) {
    const struct {
        const char *date, *time, *key;
    } cases[] = {
        {"1/2/2024", "11:59:00 AM", "240102115900"},
        {"1/2/2024", "12:05:00 PM", "240102120500"},
        {"1/2/2024", "1:00:00 PM", "240102130000"},
        {"1/2/2024", "11:00:00 PM", "240102230000"},
        {"12/31/2024", "12:00:01 AM", "241231000001"},  // midnight hour is 00
        {"07/04/99", "9:5:7 AM", "990704090507"},       // two-digit year, single digits padded
        {"1/2/2000", "10:00:00 am", "000102100000"},    // an unknown marker leaves the hours
        {"1-2-2024", "1:00:00 PM", ""},
        {"1/2 2024", "1:00:00 PM", ""},
        {"1/2/2024", "13.00.00", ""},
        {"1/2/2024", "1:00:00PM", ""},
        {"", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateTimeSortKey(c.date, c.time), QString::fromLatin1(c.key))
            << c.date << " " << c.time;
}

TEST(FolderScan, SortsOldestFirstEmptyKeysFirstAndEqualKeysInListingOrder) {
    std::vector<ListedFile> rows;
    const char* const keys[][2] = {
        {"a", "240102130000"},
        {"b", "240102120500"},
        {"c", ""},
        {"d", "240102115900"},
        {"e", "991231235959"},
        {"f", "000101000000"},
        {"g", "240102120500"},
        {"h", ""},
    };
    for (const auto& k : keys) rows.push_back({k[0], {}, {}, {}, {}, {}, k[1]});
    sortListedFiles(rows);
    // Two-digit years: 1999 sorts after 2000.
    EXPECT_EQ(names(rows), QStringList({"c", "h", "f", "d", "b", "g", "a", "e"}));
}

TEST(FolderScan, ListsReadableDocumentsWithTheirHeaderColumns) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const auto put = [&](const char* name, const QByteArray& bytes) {
        test::writeFileBytes(QDir(folder).filePath(name), bytes);
    };
    writeDoc(folder, {"late.ovd", "ATP", "Ana", "P-7", at(2024, 3, 9, 13, 0), 3});
    writeDoc(folder, {"noon.ovd", "Blank", "Ben", "P-1", at(2024, 3, 9, 12, 5), 1});
    writeDoc(folder, {"EARLY.OVD", "", "", "", at(2024, 3, 9, 11, 59), 0});
    QByteArray good = test::readFileBytes(QDir(folder).filePath("noon.ovd"));
    put("odd-date.ovd", withDateTime(good, "2024-03-09", "noon"));
    // Left out: a parse failure, a foreign document, an unknown layout, an empty file,
    // another extension and a folder that merely carries the extension.
    put("broken.ovd", QByteArray(good).replace("</test>", "</tset>"));
    put("foreign.ovd", QByteArray(good).replace("<name>The Vantorix</name>", "<name>X</name>"));
    put("layout-d.ovd",
        QByteArray(good).replace("<format-id>C</format-id>", "<format-id>D</format-id>"));
    put("empty.ovd", {});
    put("noon.txt", good);
    QDir(folder).mkdir("dir.ovd");
    // A FIFO and a link to it would block a read until something writes into them.
    if (!test::makeFifo(QDir(folder).filePath("pipe.ovd"))) GTEST_SKIP() << "no FIFOs here";
    ASSERT_TRUE(QFile::link(QDir(folder).filePath("pipe.ovd"), QDir(folder).filePath("link.ovd")));

    for (const FolderEntry& e : listDataFiles(folder))
        EXPECT_FALSE(e.fileName == "pipe.ovd" || e.fileName == "link.ovd")
            << e.fileName.toStdString();
    const std::vector<ListedFile> rows = scanFolder(folder);
    ASSERT_EQ(names(rows), QStringList({"odd-date.ovd", "EARLY.OVD", "noon.ovd", "late.ovd"}));
    const ListedFile& late = rows[3];
    EXPECT_EQ(late.test, "ATP");
    EXPECT_EQ(late.operatorName, "Ana");
    EXPECT_EQ(late.plateNo, "P-7");
    EXPECT_EQ(late.sets, "3");
    EXPECT_EQ(late.dateTime, "3/9/2024  1:00:00 PM");
    EXPECT_EQ(late.sortKey, "240309130000");
    EXPECT_EQ(rows[0].sortKey, "");
    EXPECT_EQ(rows[0].dateTime, "2024-03-09  noon");
    // Listing leaves no parse dump behind.
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath("temp.txt")));
}

TEST(FolderScan, FileGoneBetweenListingAndParsingIsSkipped) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    writeDoc(folder, {"a.ovd", "T", "O", "P", at(2024, 1, 1, 9, 0)});
    writeDoc(folder, {"b.ovd", "T", "O", "P", at(2024, 1, 1, 10, 0)});
    FolderScan scan(folder, listDataFiles(folder));
    ASSERT_EQ(scan.total(), 2);
    ASSERT_TRUE(QFile::remove(QDir(folder).filePath("a.ovd")));
    scan.examineNext();
    EXPECT_EQ(scan.percent(), 50);
    scan.examineNext();
    EXPECT_TRUE(scan.atEnd());
    EXPECT_EQ(scan.percent(), 100);
    EXPECT_EQ(names(scan.takeSortedRows()), QStringList({"b.ovd"}));
}

TEST(OvdHeaderParse, ReadsUpToTheFirstSetLineAndParsesAsTheHeaderOnlyParse) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    writeDoc(folder, {"full.ovd", "T", "O", "P", at(2024, 1, 1, 9, 0), 255});
    const QByteArray crlf = test::readFileBytes(QDir(folder).filePath("full.ovd"));
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray longNotes = crlf;  // header beyond the first read
    longNotes.replace("<notes></notes>", "<notes>" + QByteArray(20000, 'n') + "</notes>");
    QByteArray splitMarker = crlf;  // "<set-" straddles the first two reads
    splitMarker.insert(splitMarker.indexOf("<notes>") + 7,
                       QByteArray(8 * 1024 - 2 - splitMarker.indexOf("<set-"), 'x'));
    const struct {
        const char* name;
        QByteArray bytes;
        bool wholeFile;
    } cases[] = {
        {"crlf", crlf, false},
        {"lf only: one line", lf, true},
        {"long notes", longNotes, false},
        {"split marker", splitMarker, false},
        {"no set line", crlf.left(crlf.indexOf("    <set-")), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(folder).filePath("f.ovd");
        test::writeFileBytes(path, c.bytes);
        QByteArray head;
        ASSERT_TRUE(readDataFileHead(path, head));
        EXPECT_EQ(head.size() == c.bytes.size(), c.wholeFile) << head.size();
        KeyStore fromHead, fromWhole;
        EXPECT_TRUE(parseDataFileHeader(path, fromHead));
        EXPECT_TRUE(parseDataBytes(fromWhole, c.bytes, true));
        EXPECT_EQ(fromHead.entries(), fromWhole.entries());
    }
    KeyStore store;
    QString reason;
    EXPECT_FALSE(parseDataFileHeader(QDir(folder).filePath("gone.ovd"), store, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(CliList, PrintsTheSixVisibleColumnsInListingOrder) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    writeDoc(folder, {"b.ovd", "Tab\there", "Ben", "2", at(2024, 5, 6, 0, 30), 2});
    writeDoc(folder, {"a.ovd", "ATP", "Ana", "1", at(2024, 5, 6, 14, 0), 1});
    test::writeFileBytes(QDir(folder).filePath("bad.ovd"), "<a><b>1</a>");

    auto r = test::runCli({"list", folder});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "b.ovd\tTab here\tBen\t2\t2\t5/6/2024  12:30:00 AM\n"
              "a.ovd\tATP\tAna\t1\t1\t5/6/2024  2:00:00 PM\n");
    EXPECT_EQ(test::runCli({"list"}, folder).out, r.out);

    QDir(folder).mkdir("none");
    r = test::runCli({"list", QDir(folder).filePath("none")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}
