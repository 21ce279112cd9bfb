// "temp.txt": a plain listing of the entries a parse found after the desktop program or the
// command-line tool has parsed a file it opens, for looking into the file by hand. Parsing itself
// writes nothing; the opener calls writeParseDump. Best effort: a dump that cannot be written
// changes nothing else, and an open never fails for it.
#pragma once

#include <QString>
#include <vector>

namespace vantorix {

inline const QString kParseDumpName = QStringLiteral("temp.txt");

// The dump's first line: the data folder and the file name as passed, joined with the
// platform's separator throughout; a whole path as the name stands alone.
QString parseDumpFirstLine(const QString& dataFolder, const QString& fileName);

// First line as above, then every entry, one per line, into appFolder (the program's own
// files). Nothing is written when appFolder is not known. True only when every byte reached
// the file; else the reason.
bool writeParseDump(const QString& appFolder, const QString& dataFolder, const QString& fileName,
                    const std::vector<QString>& entries, QString* reason = nullptr);

}  // namespace vantorix
