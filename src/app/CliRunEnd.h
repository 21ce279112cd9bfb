// What vantorix-cli run says once the run is over: what was saved where, and where every
// reading that is in no saved file is kept. Nothing is said to be kept that is not.
#pragma once

#include "measurement/RunSequence.h"
#include "options/WellSelection.h"
#include "plate/DocumentSession.h"

namespace vantorix::cli {

// A completed dataset in which some selected wells got no reading says how many.
void tellUnreadWells(const PlateDocument& readings, const WellMatrix& selected, int firstSet,
                     int lastSet);

// After a run that did not complete: the datasets saved and where, or that nothing was saved.
void tellWhatWasSaved(const DocumentSession& session, bool partialKept);

// The run's file could not be written: the run goes to a file of its own instead, or, when
// that fails too, stays in the journal or is printed. Returns the exit code; `savedAt` (when
// given) becomes the file written, "" when none was.
int saveElsewhere(DocumentSession& session, RunSequence& run, QString* savedAt = nullptr);

// Readings that are in no saved file: where they are kept, or, when no journal holds them all,
// printed on standard output as the grid shows them. False when they had to be printed.
bool tellWhereUnsavedReadingsAre(const DocumentSession& session, const RunSequence& run);

}  // namespace vantorix::cli
