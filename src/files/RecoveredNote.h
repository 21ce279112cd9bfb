// A data file recovered from a run journal says so at the start of its notes, the one place
// the data file's fixed layout leaves for it: "[Recovered, incomplete run: 1 of 3 sets
// complete]". The desktop program's caption and the report read it back from there.
#pragma once

#include <QString>

namespace vantorix {

QString recoveredNote(int completedSets, int intendedSets);

// The note at the start of notes, or empty when the notes begin with none.
QString recoveredNoteIn(const QString& notes);
// True when that note says the run was cut short.
bool recoveredIncomplete(const QString& note);

}  // namespace vantorix
