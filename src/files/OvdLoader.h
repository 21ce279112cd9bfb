// Opening a data file as the current document: parse it, then copy its sets into Readings.
#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

struct ProgramState;

struct LoadResult {
    bool ok = false;
    // The file was read and parsed, even if then refused: the key store holds what it found,
    // and the opener writes the parse dump.
    bool parsed = false;
    QString message;      // for the user: why the file did not open, or the notices, one a line
    QStringList notices;  // loaded, but: sets left out or missing, the file ends early
    int setsLoaded = 0;
    bool truncated = false;  // the file holds more sets than Readings holds
};

// Parses the whole file; a file with no element of the data format is refused. On success
// fills Readings sets 1..N from it (N: the sets declared, at most 255 and at most the highest
// set the file holds), sets
// FileFormatId and CurrentSet = 1. A bare name lies in dataFolder. On failure nothing but the
// key store changes. Writes no file.
LoadResult LoadDataFile(ProgramState& s, const QString& dataFolder, const QString& fileName);

// The load step alone, from what the key store holds now.
LoadResult loadReadingsFromStore(ProgramState& s);

// The first space-separated token of text; text keeps the rest. Runs of spaces count as one.
QString NextToken(QString& text);

}  // namespace vantorix
