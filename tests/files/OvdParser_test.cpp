#include "files/OvdParser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "OvdSamples.h"
#include "files/KeyStore.h"
#include "files/OvdHeaderParse.h"
#include "files/ParseDump.h"
#include "support/TestSupport.h"

using namespace vantorix;
using vantorix::test::entriesOf;

namespace {

struct ScanCase {
    const char* name;
    QByteArray input;
    bool ok;
    QStringList entries;
};

QStringList parsed(const QByteArray& bytes, bool headerOnly, bool* ok = nullptr,
                   QString* reason = nullptr) {
    KeyStore store;
    const bool result = parseDataBytes(store, bytes, headerOnly, reason);
    if (ok) *ok = result;
    return entriesOf(store);
}

}  // namespace

TEST(OvdParser, TagScannerRules) {
    const ScanCase cases[] = {
        {"nesting, children first", "<a><b>x</b></a>", true, {".a.b=x", ".a="}},
        {"value keeps '='", "<a>p=q</a>", true, {".a=p=q"}},
        {"comment ends at first >", "<a><!-- x > y -->z</a>", true, {".a= y -->z"}},
        {"declaration text is dropped", "<?xml version=\"1.0\" ?><a>v</a>", true, {".a=v"}},
        {"tail compare closes ab with b", "<ab>v</b>", true, {".ab=v"}},
        {"names are case-sensitive", "<data>v</Data>", false, {".data=v"}},
        {"attributes become part of the name", "<a x=\"1\">v</a>", false, {".a x=\"1\"=v"}},
        {"empty-element tag never closes", "<r><a/></r>", false, {".r.a/="}},
        {"end tag without start tag", "</a>", false, {"="}},
        {"name as long as the path", "<a></.a>", false, {".a="}},
        {"unclosed elements make no entry", "<a><b>v", true, {}},
        {"tag without > takes the rest", "<a>v</a", true, {".a=v"}},
        {"entities stay as written", "<a>&amp;&lt;</a>", true, {".a=&amp;&lt;"}},
        {"duplicate paths each count",
         "<a><b>1</b><b>2</b></a>",
         true,
         {".a.b=1", ".a.b=2", ".a="}},
        {"container keeps text after last child",
         "<a><b>1</b>tail</a>",
         true,
         {".a.b=1", ".a=tail"}},
        {"spaces inside a line stay", "<a>  x  </a>", true, {".a=  x  "}},
        {"only spaces are trimmed", "<a>v\t</a>\t", true, {".a=v\t"}},
        {"lines are trimmed and joined",
         "<a>\r\n  multi  \r\n  line\r\n</a>",
         true,
         {".a=multiline"}},
        {"bare LF is inside the line", "<a>\n  <b>v</b>\n</a>", true, {".a.b=v", ".a=\n"}},
        {"<data-io> ends reading", "<a>v</a>\r\n<data-io>\r\n<b>w</b>", true, {".a=v"}},
        {"<data-io> must be the whole line",
         "<a>v</a><data-io>\r\n<b>w</b>",
         true,
         {".a=v", ".data-io.b=w"}},
        {"empty input", "", true, {}},
    };
    for (const ScanCase& c : cases) {
        bool ok = false;
        EXPECT_EQ(parsed(c.input, false, &ok), c.entries) << c.name;
        EXPECT_EQ(ok, c.ok) << c.name;
    }
}

// The same document in every line shape gives the same entries.
TEST(OvdParser, LineShapesDoNotChangeTheEntries) {
    const QByteArray crlf = test::handWrittenC();
    const QStringList expected = parsed(crlf, false);
    ASSERT_EQ(expected.size(), 12);

    QByteArray crOnly = crlf;
    crOnly.replace("\r\n", "\r");
    EXPECT_EQ(parsed(crOnly, false), expected);

    QByteArray noLineEnds;
    for (const QByteArray& line : crlf.split('\n')) noLineEnds += line.trimmed();
    EXPECT_EQ(parsed(noLineEnds, false), expected);

    QByteArray trailing = crlf + "some trailing text without tags";
    EXPECT_EQ(parsed(trailing, false), expected);
    trailing = crlf + "<data-io>\r\n</nonsense><<<";
    EXPECT_EQ(parsed(trailing, false), expected);

    // Bare LF: one line, so containers hold the line breaks before their end tags.
    QByteArray lfOnly = crlf;
    lfOnly.replace("\r\n", "\n");
    QStringList lfEntries = parsed(lfOnly, false);
    for (QString& e : lfEntries) e.remove(u'\n');
    EXPECT_EQ(lfEntries, expected);
}

// A document split into one character per line reads as the whole, as long as no value holds
// a space (trimming would remove a lone space line).
TEST(OvdParser, EveryCharacterOnItsOwnLine) {
    const QByteArray whole =
        "<?xml?><!--c--><r><format-id>A</format-id><x><y>1.5</y><z>a=b</z></x></r>";
    QByteArray split;
    for (const char c : whole) split += QByteArray(1, c) + "\r\n";
    EXPECT_EQ(parsed(split, false), parsed(whole, false));
    EXPECT_EQ(parsed(whole, false),
              QStringList({".r.format-id=A", ".r.x.y=1.5", ".r.x.z=a=b", ".r.x=", ".r="}));
}

TEST(OvdParser, TextThatIsNotUtf8IsReadAsWindows1252) {
    bool ok = false;
    EXPECT_EQ(parsed("<n>Jos\xc3\xa9</n>", false, &ok), QStringList({".n=Jos\u00e9"}));
    EXPECT_EQ(parsed("<n>Jos\xe9 \x80 \x96</n>", false, &ok),
              QStringList({".n=Jos\u00e9 \u20ac \u2013"}));
}

// Parsing writes no file; the dump, written when asked, lists what the parse found.
TEST(OvdParser, ReadingEntriesWritesNothingAndTheDumpListsThem) {
    QTemporaryDir data, app;
    test::writeFileBytes(data.filePath("plate.ovd"), "<a>1</a>\r\n<b>2</b>");

    QString reason;
    std::vector<QString> entries;
    ASSERT_TRUE(readDataFileEntries(data.filePath("plate.ovd"), false, entries, &reason))
        << reason.toStdString();
    EXPECT_TRUE(QDir(app.path()).isEmpty());
    ASSERT_TRUE(writeParseDump(app.path(), data.path(), "plate.ovd", entries, &reason))
        << reason.toStdString();
    EXPECT_EQ(test::readFileBytes(app.filePath("temp.txt")),
              (data.path() + "/plate.ovd\r\n.a=1\r\n.b=2\r\n").toUtf8());

    // A full path ("\" accepted too) is used as it is and named alone, never behind the data
    // folder, with one kind of separator throughout the line.
    const struct {
        const char *folder, *name, *line;
    } firstLines[] = {{"/d", "p.ovd", "/d/p.ovd"},
                      {"/d", "C:\\x\\p.ovd", "C:/x/p.ovd"},
                      {"/opt/bin", "/tmp/s/Sample.ovd", "/tmp/s/Sample.ovd"},
                      {"C:\\data", "sub\\p.ovd", "C:/data/sub/p.ovd"}};
    for (const auto& c : firstLines)
        EXPECT_EQ(parseDumpFirstLine(c.folder, c.name), c.line) << c.name;
}

TEST(OvdParser, AFailedDumpIsReported) {
    QTemporaryDir data;
    // A folder that does not exist, and a folder where "temp.txt" is itself a folder.
    ASSERT_TRUE(QDir(data.path()).mkpath("app/temp.txt"));
    for (const QString& app : {data.filePath("no/such/folder"), data.filePath("app")}) {
        QString reason;
        EXPECT_FALSE(writeParseDump(app, data.path(), "p.ovd", {".a=1"}, &reason))
            << app.toStdString();
        EXPECT_TRUE(reason.contains("temp.txt")) << reason.toStdString();
    }
}

// What one file may cost is bounded: the entries in the store, and the path length, as every
// entry holds its whole path (nested elements cost in proportion to the file's size, not to
// the square of its depth).
TEST(OvdParser, EntryCountAndNestingAreBounded) {
    const auto elements = [](int n) { return "<r>" + QByteArray("<a>1</a>").repeated(n) + "</r>"; };
    // The innermost element's path ".a.a...a.last" has 2 * depth + 1 + last.size() characters.
    const auto nested = [](int depth, const QByteArray& last) {
        return QByteArray("<a>").repeated(depth) + "<" + last + ">v</" + last + ">" +
               QByteArray("</a>").repeated(depth);
    };
    const QString deep =
        "its elements are nested too deeply (an element's path is longer than 1024 characters)";
    const struct {
        QByteArray text;
        bool ok;
        int entries;
        QString reason;
    } cases[] = {{elements(kMaxKeyStoreEntries - 1), true, kMaxKeyStoreEntries, ""},
                 {elements(kMaxKeyStoreEntries), false, kMaxKeyStoreEntries, "25480"},
                 {nested(511, "b"), true, 512, ""},    // 1024 characters
                 {nested(511, "bc"), false, 0, deep},  // 1025
                 {nested(200000, "b"), false, 0, deep}};
    for (const auto& c : cases) {
        KeyStore store;
        QString reason;
        EXPECT_EQ(parseDataBytes(store, c.text, false, &reason), c.ok) << c.text.size();
        EXPECT_EQ(store.KeyCount(), c.entries) << c.text.size();
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
    }
}

TEST(OvdParser, RemembersTheElementsLeftOpenAtTheEnd) {
    const struct {
        QByteArray text;
        bool headerOnly;
        const char* open;
    } cases[] = {{"<a><b>1</b><c>2", false, ".a.c"},
                 {"<a><b>1</b></a>", false, ""},
                 {"<a><set-1>x\r\n<b>", true, ""},
                 {"<a><b>\r\n<data-io>\r\n</b></a>", false, ""}};
    for (const auto& c : cases) {
        KeyStore store;
        ParseFacts facts;
        ASSERT_TRUE(parseDataBytes(store, c.text, c.headerOnly, nullptr, &facts))
            << c.text.constData();
        EXPECT_EQ(facts.unclosedPath, c.open) << c.text.constData();
    }
}

// A file that cannot be parsed fails with its reason and gives no entries. Only regular files
// are opened (a pipe would block the read), and an oversized one is refused unread.
TEST(OvdParser, RefusedFilesGiveTheReasonAndNoEntries) {
    QTemporaryDir data;
    test::writeFileBytes(data.filePath("bad.ovd"), "<a>1</b>");
    if (!test::makeFifo(data.filePath("pipe.ovd"))) GTEST_SKIP() << "no FIFOs here";
    ASSERT_TRUE(QFile::link(data.filePath("pipe.ovd"), data.filePath("link.ovd")));
    ASSERT_TRUE(QDir(data.path()).mkdir("folder.ovd"));
    QFile big(data.filePath("big.ovd"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxDataFileBytes + 1));  // sparse: costs no disk space
    big.close();
    const struct {
        const char *name, *reason;
        bool exact;  // the whole reason, the header parse's too
    } cases[] = {{"bad.ovd", "</b>", false},
                 {"missing.ovd", "", false},
                 {"big.ovd", "too large", false},
                 {"pipe.ovd", "it is a pipe (FIFO), not a file", true},
                 {"link.ovd", "it is a pipe (FIFO), not a file", true},
                 {"folder.ovd", "it is a folder, not a file", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString reason;
        std::vector<QString> entries{"kept"};
        EXPECT_FALSE(readDataFileEntries(data.filePath(c.name), false, entries, &reason));
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
        EXPECT_EQ(entries, std::vector<QString>{"kept"});
        if (!c.exact) continue;
        EXPECT_EQ(reason, c.reason);
        QString headReason;
        KeyStore store;
        EXPECT_FALSE(parseDataFileHeader(data.filePath(c.name), store, &headReason));
        EXPECT_EQ(headReason, c.reason);
    }
}
