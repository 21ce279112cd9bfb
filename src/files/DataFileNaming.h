// Naming a run's data file (the dialogs belong to the windows).
#pragma once

#include <QString>

namespace vantorix {

// Every data file ends ".ovd": the name as given when it does, else with ".ovd" appended.
QString withOvdExtension(const QString& name);

// Counts the numeric extension of the part before a final ".ovd" up: "Plate.041.ovd" ->
// "Plate.042.ovd", 999 -> 001. A title without one ("Sample", "Run.ovd") stays as it is,
// unless it names an existing file in folder (see freeDataFileTitle).
QString nextDataFileTitle(const QString& title, const QString& folder);

// The title, or when its file exists in folder, the first title counted on from it whose file
// does not: "Sample.ovd" -> "Sample.001.ovd", "Plate.041.ovd" -> "Plate.042.ovd".
QString freeDataFileTitle(const QString& title, const QString& folder);

}  // namespace vantorix
