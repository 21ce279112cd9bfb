#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "OvdSamples.h"
#include "support/TestSupport.h"

using vantorix::test::runCli;

namespace {

// Rows of a set, each cell as `cell` gives it for the well.
QString expectedRows(const std::function<QString(int well)>& cell) {
    QString t = "\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n";
    for (int r = 0; r < 8; ++r) {
        t += QChar(u'A' + r);
        for (int c = 0; c < 12; ++c) t += '\t' + cell(r * 12 + c);
        t += '\n';
    }
    return t;
}

}  // namespace

TEST(CliShow, ReadingsAndTimesOfASet) {
    QTemporaryDir dir;
    vantorix::test::writeFileBytes(dir.filePath("c.ovd"), vantorix::test::handWrittenC());

    auto r = runCli({"show", "c.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Sets: 2\nSet: 1\n" +
                         expectedRows([](int w) { return QString::number(720 + w) + ".0"; }));

    r = runCli({"show", "--times", "c.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Sets: 2\nSet: 1\n" + expectedRows([](int w) {
                         return QString::number(w).rightJustified(3, '0');
                     }));

    // Set 2 has no time list: every time is -1.
    r = runCli({"show", "--set", "2", "--times", "c.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Sets: 2\nSet: 2\n" + expectedRows([](int) { return QString("-001"); }));
}

TEST(CliShow, FormatBAndADocumentWithoutSets) {
    QTemporaryDir dir;
    vantorix::test::writeFileBytes(dir.filePath("b.ovd"), vantorix::test::handWrittenB());
    auto r = runCli({"show", "b.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Sets: 1\nSet: 1\n" +
                         expectedRows([](int w) { return QString::number(500 + w - 280) + ".0"; }));

    vantorix::test::writeFileBytes(
        dir.filePath("empty.ovd"),
        "<orvexa-labs-format><data><sets>0</sets></data></orvexa-labs-format>");
    r = runCli({"show", "empty.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Sets: 0\nSet: 1\n" + expectedRows([](int) { return QString("X"); }));
}

// The tool writes only what it is asked to write, opens only regular files and refuses what is
// no data file, with the reason on one line, exit 1 and nothing written; a bad command line
// gets the usage and exit 2.
TEST(CliShow, WritesNothingIntoTheFolderAndRefusesWhatIsNoDocument) {
    QTemporaryDir dir;
    using vantorix::test::writeFileBytes;
    writeFileBytes(dir.filePath("c.ovd"), vantorix::test::handWrittenC());
    writeFileBytes(dir.filePath("temp.txt"), "the user's own notes");
    writeFileBytes(dir.filePath("empty.ovd"), "");
    writeFileBytes(dir.filePath("bad.ovd"), "<a><b>1</a>");
    writeFileBytes(dir.filePath("nested.ovd"),
                   "<orvexa-labs-format><data-header><notes>" + QByteArray("<a>").repeated(200000));
    if (!vantorix::test::makeFifo(dir.filePath("pipe.ovd"))) GTEST_SKIP() << "no FIFOs here";
    ASSERT_TRUE(QFile::link(dir.filePath("pipe.ovd"), dir.filePath("link.ovd")));
    const struct {
        QStringList args;
        int exitCode;
        const char* error;
    } cases[] = {
        {{"show", "c.ovd"}, 0, ""},
        {{"keys", "c.ovd"}, 0, ""},
        {{"export", "c.ovd", "--csv", "c.csv"}, 0, ""},
        {{"show", "pipe.ovd"}, 1, "Can't open that file pipe.ovd: it is a pipe (FIFO), not a file"},
        {{"keys", "link.ovd"}, 1, "link.ovd: it is a pipe (FIFO), not a file"},
        {{"export", "link.ovd", "--csv", "p.csv"}, 1, "link.ovd: it is a pipe (FIFO), not a file"},
        {{"show", "empty.ovd"},
         1,
         "Can't open that file empty.ovd: it is not a Vantorix data file"},
        {{"export", "empty.ovd", "--csv", "e.csv"}, 1, "it is not a Vantorix data file"},
        {{"show", "nested.ovd"}, 1, "its elements are nested too deeply"},
        {{"show", "bad.ovd"},
         1,
         "Can't open that file bad.ovd: end tag </a> does not match: the open element is <b>"},
        {{"keys", "bad.ovd"}, 1, "cli: bad.ovd: end tag </a> does not match: the open element"},
        {{"keys", "missing.ovd"}, 1, "missing.ovd"},
        {{"show", "--set", "3", "c.ovd"}, 1, "no set 3"},
        {{"show"}, 2, "usage:"},
        {{"show", "--set", "0", "c.ovd"}, 2, "usage:"},
        {{"show", "--set", "x", "c.ovd"}, 2, "usage:"},
        {{"show", "c.ovd", "--set"}, 2, "usage:"},
        {{"show", "--view", "c.ovd"}, 2, "usage:"},
        {{"keys"}, 2, "usage:"},
        {{"keys", "--bogus", "x"}, 2, "usage:"},
        {{"keys", "a", "b"}, 2, "usage:"},
        {{"list", "missing"}, 1, "list: missing is not a folder"},
        {{"list", "a", "b"}, 2, "usage:"},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args, dir.path(), 20000);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
        if (c.exitCode == 0) continue;
        EXPECT_TRUE(r.out.isEmpty()) << c.args.join(' ').toStdString();
        if (c.exitCode == 1) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    EXPECT_EQ(vantorix::test::readFileBytes(dir.filePath("temp.txt")), "the user's own notes");
    EXPECT_FALSE(QFile::exists(dir.filePath("p.csv")));
    EXPECT_FALSE(QFile::exists(dir.filePath("e.csv")));
}

TEST(CliKeys, PrintsEveryEntryInStoreOrderOrTheHeaderOnly) {
    QTemporaryDir dir;
    vantorix::test::writeFileBytes(dir.filePath("c.ovd"), vantorix::test::handWrittenC());
    const auto r = runCli({"keys", "c.ovd"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 13);  // 12 entries and the final line end
    EXPECT_EQ(lines[0], ".orvexa-labs-format.format-id=A");
    EXPECT_EQ(lines[4], ".orvexa-labs-format.data-header.operator=Ana");
    EXPECT_EQ(lines[11], ".orvexa-labs-format=");
    // The parse dump lands beside the program, as the desktop program's does, not in the
    // current folder.
    EXPECT_FALSE(QFile::exists(dir.filePath("temp.txt")));
    const QString dump = QFileInfo(VANTORIX_CLI_PATH).dir().filePath("temp.txt");
    EXPECT_TRUE(QFile::exists(dump));  // its content: other tests run the tool at the same time

    const auto head = runCli({"keys", "--header-only", dir.filePath("c.ovd")});
    ASSERT_EQ(head.exitCode, 0) << head.err.toStdString();
    const QStringList headLines = head.out.trimmed().split('\n');
    ASSERT_EQ(headLines.size(), 8);
    EXPECT_TRUE(headLines.last().startsWith(".orvexa-labs-format.data.set-data-001=1000 1001 "));
}

// Control characters of a header field reach the terminal escaped: a line break cannot forge a
// key line, an escape sequence cannot clear the screen, in `keys` and in `list` alike.
TEST(CliKeys, ControlCharactersOfHeaderFieldsAreShownEscaped) {
    QTemporaryDir dir;
    QByteArray bytes = vantorix::test::handWrittenC();
    bytes.replace("<operator>Ana</operator>",
                  "<operator>A\x1b[2Jn\x07"
                  "a\b\n.orvexa-labs-format.forged=1</operator>");
    vantorix::test::writeFileBytes(dir.filePath("c.ovd"), bytes);
    const QString shown = "A\\x1b[2Jn\\x07a\\x08\\n.orvexa-labs-format.forged=1";

    const auto keys = runCli({"keys", "--header-only", "c.ovd"}, dir.path());
    ASSERT_EQ(keys.exitCode, 0) << keys.err.toStdString();
    EXPECT_TRUE(keys.out.contains("\n.orvexa-labs-format.data-header.operator=" + shown + "\n"))
        << keys.out.toStdString();
    EXPECT_FALSE(keys.out.contains("\n.orvexa-labs-format.forged=")) << keys.out.toStdString();

    const auto list = runCli({"list"}, dir.path());
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out.count('\n'), 1) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("\t" + shown + "\t")) << list.out.toStdString();
    for (const char c : QByteArray("\x1b\x07\b"))
        EXPECT_FALSE(keys.out.contains(QChar(c)) || list.out.contains(QChar(c))) << int(c);
}
