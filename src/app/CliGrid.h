// Documents on the command line: loading one, and printing one set as the results grid shows it.
#pragma once

#include <optional>

#include "files/OvdLoader.h"
#include "plate/PlateDocument.h"
#include "results/CellText.h"

namespace vantorix::cli {

// "Sets: N", "Set: n", a tab-separated header of the columns 1-12, then the rows A-H.
void printGrid(const PlateDocument& d, int set, GridMode mode);
// The same for readings that are in no file (yet): setsText stands for its set count, and a
// document that declares no sets shows "X" throughout.
void printGrid(const PlateDocument& document, const QString& setsText, bool declaresSets, int set,
               GridMode mode);

// Loads FILE into d as the window would, with the current directory as the data folder. On failure
// says why on stderr and returns nothing; notices (sets left out) also go to stderr.
std::optional<LoadResult> loadDocument(PlateDocument& d, const QString& file);

}  // namespace vantorix::cli
