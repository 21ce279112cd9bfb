#include "kernel/DataPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace vantorix;

// A backslash separates folders on Windows only; elsewhere "sub\evil.ovd" is one file name.
TEST(DataPaths, ResolveAcceptsThePlatformsSeparators) {
    const struct {
        const char *folder, *name, *path;
    } cases[] = {
        {"/data", "a.ovd", "/data/a.ovd"},
        {"/data/", "a.ovd", "/data/a.ovd"},
        {"/data", "/other/b.ovd", "/other/b.ovd"},
        {"/data", "rel/c.ovd", "rel/c.ovd"},
        {"", "a.ovd", "a.ovd"},
#ifdef Q_OS_WIN
        {"C:\\data", "a.ovd", "C:/data/a.ovd"},
        {"/data", "\\other\\sub\\..\\b.ovd", "/other/b.ovd"},
        {"/data", "sub\\evil.ovd", "sub/evil.ovd"},
#else
        {"/data", "sub\\evil.ovd", "/data/sub\\evil.ovd"},
        {"/data", "..\\b.ovd", "/data/..\\b.ovd"},
        {"/da\\ta", "a.ovd", "/da\\ta/a.ovd"},
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveDataPath(c.folder, c.name), QDir::toNativeSeparators(c.path)) << c.name;
}

// The program's folder when it is writable; else (missing, or installed: writable for root,
// but never a place for the user's files) the documents folder. The command line
// keeps its own files there too, and takes data files from where it runs.
TEST(DataPaths, ProgramFoldersAreTheProgramFolderOrTheDocumentsFolder) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DOCUMENTS_DIR");
    const QString documents = home.path() + "/Documents/Vantorix";
    QDir(home.path()).mkpath("mine");
    const std::pair<const char*, QString> cases[] = {{"mine", home.filePath("mine")},
                                                     {"not-there", documents},
                                                     {"usr/bin", documents},
                                                     {"usr/local/bin", documents}};
    for (const auto& [program, expected] : cases) {
        if (QString(program).endsWith("bin")) QDir(home.path()).mkpath(program);
        const DataFolders desktop = programFolders(home.filePath(program));
        EXPECT_EQ(desktop.data, QDir::toNativeSeparators(expected)) << program;
        EXPECT_EQ(desktop.app, desktop.data);
        EXPECT_TRUE(QFileInfo(expected).isDir());
        const DataFolders cli =
            programFolders(home.filePath(program), DataFolderStart::CurrentFolder);
        EXPECT_EQ(cli.app, desktop.app) << program;
        EXPECT_EQ(cli.data, QDir::currentPath()) << program;
    }
}
