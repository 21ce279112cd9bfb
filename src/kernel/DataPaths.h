// Where data files and the program's own files live, and how a file name becomes a path.
// Paths accept both "/" and "\" as separators; joined paths use the platform's separator.
#pragma once

#include <QString>

namespace vantorix {

struct ProgramState;

// folder + separator + name in the platform's form; just the name when folder is empty.
QString joinPath(const QString& folder, const QString& name);

// A name holding a separator is a path of its own (normalised); a bare name lies in dataFolder.
QString resolveDataPath(const QString& dataFolder, const QString& fileName);

// DataFolder and AppFolder: the program's folder when it is writable (a portable install),
// else, and always for an installed program (in a .../usr/bin folder), the user's documents
// folder + "/Vantorix", created when needed.
void initFolders(ProgramState& s, const QString& programDir);

}  // namespace vantorix
