#include "kernel/DataPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "kernel/ProgramState.h"

using namespace vantorix;

TEST(DataPaths, ResolveAcceptsBothSeparators) {
    const struct {
        const char *folder, *name, *path;
    } cases[] = {
        {"/data", "a.ovd", "/data/a.ovd"},
        {"/data/", "a.ovd", "/data/a.ovd"},
        {"C:\\data", "a.ovd", "C:/data/a.ovd"},
        {"/data", "/other/b.ovd", "/other/b.ovd"},
        {"/data", "\\other\\sub\\..\\b.ovd", "/other/b.ovd"},
        {"/data", "rel/c.ovd", "rel/c.ovd"},
        {"", "a.ovd", "a.ovd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveDataPath(c.folder, c.name), QDir::toNativeSeparators(c.path)) << c.name;
}

TEST(DataPaths, InitFoldersUsesTheProgramFolderWhenWritable) {
    QTemporaryDir dir;
    ProgramState s;
    initFolders(s, dir.path());
    EXPECT_EQ(s.DataFolder, QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(s.AppFolder, s.DataFolder);
    // The command line keeps its own files there too, and takes data files from where it runs.
    ProgramState cli;
    initFolders(cli, dir.path(), DataFolderStart::CurrentFolder);
    EXPECT_EQ(cli.AppFolder, s.AppFolder);
    EXPECT_EQ(cli.DataFolder, QDir::currentPath());
}

TEST(DataPaths, InitFoldersFallsBackToTheDocumentsFolder) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DOCUMENTS_DIR");
    // Missing, and installed (writable for root, but never a place for the user's files).
    for (const QString program : {"not-there", "usr/bin", "usr/local/bin"}) {
        if (program.endsWith("bin")) QDir(home.path()).mkpath(program);
        ProgramState s;
        initFolders(s, home.filePath(program));
        const QString expected = home.path() + "/Documents/Vantorix";
        EXPECT_EQ(s.DataFolder, QDir::toNativeSeparators(expected)) << program.toStdString();
        EXPECT_EQ(s.AppFolder, s.DataFolder);
        EXPECT_TRUE(QFileInfo(expected).isDir());
    }
}
