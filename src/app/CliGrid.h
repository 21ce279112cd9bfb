// Documents on the command line: loading one, and printing one set as the results grid shows it.
#pragma once

#include <optional>

#include "files/OvdLoader.h"
#include "kernel/ProgramState.h"
#include "results/CellText.h"

namespace vantorix::cli {

// "Sets: N", "Set: n", a tab-separated header of the columns 1-12, then the rows A-H.
void printGrid(const ProgramState& s, int set, GridMode mode);

// Folders of a command-line session: relative file names are taken from the current folder,
// and the program's own files (the parse dump) go where the desktop program puts them, never
// into the folder the tool runs in.
void initCliFolders(ProgramState& s);

// Loads FILE as the window would, with the current directory as the data folder. On failure
// says why on stderr and returns nothing; notices (sets left out) also go to stderr.
std::optional<LoadResult> loadDocument(ProgramState& s, const QString& file);

}  // namespace vantorix::cli
