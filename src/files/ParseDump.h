// "temp.txt": a plain listing of the key store after each successful parse, for looking into a
// file by hand. Best effort: a dump that cannot be written changes nothing else.
#pragma once

#include <QString>

namespace vantorix {

struct ProgramState;

inline const QString kParseDumpName = QStringLiteral("temp.txt");

// First line DataFolder + "\" + fileName as passed, then every entry, one per line. Nothing
// is written when AppFolder is not known. True when the dump was written.
bool writeParseDump(const ProgramState& s, const QString& fileName);

}  // namespace vantorix
