// The files `run` and `recover` are given: what exists is never replaced without --force, and
// what is no regular file (a FIFO, a device) is refused at once instead of hanging the tool.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/TestSupport.h"

using namespace vantorix::test;

namespace {

// Runs the tool with XDG_CONFIG_HOME pointing at configHome (its settings folder).
CliResult runWithConfig(const QString& configHome, const QStringList& args,
                        const QString& workingDir) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome.toLocal8Bit());
    CliResult r = runCli(args, workingDir, 15000);
    qputenv("XDG_CONFIG_HOME", saved);
    return r;
}

}  // namespace

// A previous run's file, or a link to one, is refused (exit 2) unless --force is given; the
// refusal comes before anything else, so no port or journal is needed to see it.
TEST(CliFiles, ExistingFilesAndLinksAreReplacedOnlyWithForce) {
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("old.ovd"), "previous run");
    ASSERT_TRUE(QFile::link(dir.filePath("old.ovd"), dir.filePath("link.ovd")));
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere.ovd"), dir.filePath("dangling.ovd")));
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"run", "--port", "/dev/null", "--out", "old.ovd"},
         "old.ovd exists already; give --force to replace it"},
        {{"run", "--port", "/dev/null", "--out", "old"},  // ".ovd" is added
         "old.ovd exists already; give --force to replace it"},
        {{"run", "--port", "/dev/null", "--out", "link.ovd"},
         "link.ovd is a symbolic link; give --force to write through it"},
        {{"recover", "j.journal", "--out", "old.ovd"},
         "old.ovd exists already; give --force to replace it"},
        {{"recover", "j.journal", "--out", "dangling.ovd"},
         "dangling.ovd is a symbolic link; give --force to write through it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliResult r = runCli(c.args, dir.path(), 15000);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    EXPECT_EQ(readFileBytes(dir.filePath("old.ovd")), "previous run");
    EXPECT_FALSE(QFile::exists(dir.filePath("nowhere.ovd")));

    // With --force the file is the tool's to write: the run goes on to the port.
    const CliResult forced =
        runCli({"run", "--port", "/dev/null", "--out", "old.ovd", "--force"}, dir.path(), 15000);
    EXPECT_EQ(forced.exitCode, 1) << forced.err.toStdString();
    EXPECT_FALSE(forced.err.contains("--force")) << forced.err.toStdString();
}

// A FIFO or a device in place of a journal or of the settings file is refused at once; reading
// it would block the tool for good or fill its memory.
TEST(CliFiles, SpecialFilesAreRefusedWithoutHanging) {
    QTemporaryDir dir;
    if (!makeFifo(dir.filePath("fifo"))) GTEST_SKIP() << "no FIFOs on this system";
    for (const QString& journal : {dir.filePath("fifo"), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(journal.toStdString());
        const CliResult r = runCli({"recover", journal, "--out", "x.ovd"}, dir.path(), 15000);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("not a file")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("x.ovd")));
    }

    const QString config = dir.filePath("config");
    ASSERT_TRUE(QDir().mkpath(config + "/vantorix"));
    ASSERT_TRUE(makeFifo(config + "/vantorix/vantorix.conf"));
    const CliResult r = runWithConfig(
        config, {"run", "--port", dir.filePath("no-port"), "--out", "y.ovd"}, dir.path());
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("the stored run defaults were not read from " + config +
                               "/vantorix/vantorix.conf (it is not a regular file)"))
        << r.err.toStdString();
}
