// vantorix-cli protocol: a lab's protocol file goes in, comes out byte for byte, and is listed
// and shown; a bad file or an unwritable protocol folder is refused with a message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "protocols/ProtocolSample.h"
#include "protocols/ProtocolStore.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(CliProtocol, ImportsListsShowsAndExportsTheSameBytes) {
    OwnDataFolder data;
    QTemporaryDir dir;
    const QString in = dir.filePath("lab.protocol");
    writeFileBytes(in, kSampleProtocol.toUtf8());
    const QString name = "Glow ELISA (plate 2)";

    const struct {
        QStringList args;
        int exitCode;
        const char* out;
        const char* err;
    } steps[] = {
        {{"protocol", "import", in}, 0, "imported protocol 'Glow ELISA (plate 2)'\n", ""},
        {{"protocol", "import", in},
         1,
         "",
         "vantorix-cli: a protocol 'Glow ELISA (plate 2)' exists already (--force replaces it)\n"},
        {{"protocol", "import", in, "--force"},
         0,
         "imported protocol 'Glow ELISA (plate 2)'\n",
         ""},
        {{"protocol", "list"}, 0, "Glow ELISA (plate 2)\n", ""},
        {{"protocol", "export", name, dir.filePath("out.protocol")}, 0, "", ""},
        {{"protocol", "export", name, in}, 2, "", nullptr},
        {{"protocol", "show", "Nothing"}, 1, "", nullptr},
        {{"protocol", "rename"}, 2, "", nullptr},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.args.join(' ').toStdString());
        const CliResult r = runCli(s.args);
        EXPECT_EQ(r.exitCode, s.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(s.out));
        if (s.err) {
            EXPECT_EQ(r.err, QString::fromUtf8(s.err));
        }
    }
    EXPECT_EQ(readFileBytes(dir.filePath("out.protocol")), kSampleProtocol.toUtf8());
    const CliResult shown = runCli({"protocol", "show", name});
    EXPECT_EQ(shown.out, kSampleProtocol + "# sha256 of the stored file: " +
                             QString::fromLatin1(kSampleProtocolSha256) + "\n");
    StoredProtocol stored;
    ASSERT_EQ(loadProtocol(protocolsFolder(), name, stored), QString());
    EXPECT_EQ(stored.sha256, QString::fromLatin1(kSampleProtocolSha256));
}

TEST(CliProtocol, RefusesABadFileAndAnUnwritableFolder) {
    OwnDataFolder data;
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.protocol");
    writeFileBytes(bad, QString(kSampleProtocol).replace("dwell = 500", "dwell = 900").toUtf8());
    CliResult r = runCli({"protocol", "import", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "vantorix-cli: " + bad + " line 13: 'Dwell' must be a whole number from 0 to 500.\n");

    // A full disk: nothing is written, nothing is listed, and the user is told.
    TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const QString folder = disk.path() + "/vantorix/protocols";
    ASSERT_TRUE(QDir().mkpath(folder));
    disk.fillLeaving(0);
    const QString good = dir.filePath("good.protocol");
    writeFileBytes(good, kSampleProtocol.toUtf8());
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", disk.path().toLocal8Bit());
    r = runCli({"protocol", "import", good});
    const CliResult listed = runCli({"protocol", "list"});
    qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("vantorix-cli: " + folder +
                                 "/Glow ELISA (plate 2).protocol could not be written: "))
        << r.err.toStdString();
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}
