// Prints one set of the document as the results grid shows it (vantorix-cli show and run).
#pragma once

#include "frame/ProgramState.h"
#include "results/CellText.h"

namespace vantorix::cli {

// "Sets: N", "Set: n", a tab-separated header of the columns 1-12, then the rows A-H.
void printGrid(const ProgramState& s, int set, GridMode mode);

}  // namespace vantorix::cli
