// Where data files and the program's own files live, and how a file name becomes a path.
// Paths accept "/" everywhere and "\" on Windows as separators (elsewhere a backslash is part of
// a file name); joined paths use the platform's separator.
#pragma once

#include <QString>

namespace vantorix {

// folder + separator + name in the platform's form; just the name when folder is empty.
QString joinPath(const QString& folder, const QString& name);

// A name holding a separator is a path of its own (normalised); a bare name lies in dataFolder.
QString resolveDataPath(const QString& dataFolder, const QString& fileName);

// The folders a program works in. data changes as the user opens or names files elsewhere.
struct DataFolders {
    QString data;  // where bare data-file names are looked for, listed and proposed
    QString app;   // writable folder of the program's own files
};

// Where the program writes its own files, the same for the desktop program and vantorix-cli:
//  - app (the parse dump "temp.txt", the firmware image): the program's folder when it is
//    writable (a portable install), else, and always for an installed program (in a
//    .../usr/bin folder), the user's documents folder + "/Vantorix", created when needed;
//  - the recovery folder of run journals: recoveryFolder().
// data starts at app in the desktop program and at the current folder on the command line.
enum class DataFolderStart { ProgramFiles, CurrentFolder };
DataFolders programFolders(const QString& programDir,
                           DataFolderStart start = DataFolderStart::ProgramFiles);
// As above for the running program (QCoreApplication::applicationDirPath()).
DataFolders programFolders(DataFolderStart start);

// ~/.local/share/vantorix/recovery (the platform's per-user data location): journals of runs
// that did not get as far as their file.
QString recoveryFolder();

}  // namespace vantorix
