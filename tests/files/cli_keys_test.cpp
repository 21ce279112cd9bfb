#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "OvdSamples.h"
#include "support/TestSupport.h"

using vantorix::test::runCli;

TEST(CliKeys, PrintsEveryEntryInStoreOrder) {
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
}

TEST(CliKeys, HeaderOnly) {
    QTemporaryDir dir;
    vantorix::test::writeFileBytes(dir.filePath("c.ovd"), vantorix::test::handWrittenC());
    const auto r = runCli({"keys", "--header-only", dir.filePath("c.ovd")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines.last().startsWith(".orvexa-labs-format.data.set-data-001=1000 1001 "));
}

TEST(CliKeys, FailuresAndUsage) {
    QTemporaryDir dir;
    vantorix::test::writeFileBytes(dir.filePath("bad.ovd"), "<a><b>1</a>");
    auto r = runCli({"keys", "bad.ovd"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("bad.ovd")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("</a>")) << r.err.toStdString();

    r = runCli({"keys", "missing.ovd"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.ovd"));

    for (const QStringList& args : {QStringList{"keys"}, QStringList{"keys", "--bogus", "x"},
                                    QStringList{"keys", "a", "b"}}) {
        r = runCli(args, dir.path());
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage:")) << args.join(' ').toStdString();
    }
}
