// Faults the simulated instrument can be told to show, each named on the command line as
// NAME or NAME=N ("no-ack=2", "garbage"). Without a count a fault uses its default count.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantorix::sim {

struct SimulatorFaults {
    int noReady = 0;       // no-ready=N: ignore the first N "START" lines
    int noAck = 0;         // no-ack=N: no "X" for the first N options blocks
    int silentAfter = -1;  // silent-after=N: go silent for good after N readings (-1: never)
    int stallBlock = 0;    // stall-block[=N]: the first N dataset blocks never get their "]"
    int garbage = 0;       // garbage[=N]: up to N noise bytes before each message
    bool split = false;    // split: cut each message into pieces written with gaps between
    int offPlate = 0;      // off-plate[=N]: the N-th reading names row J or column 13
    int lowerCase = 0;     // lower-case[=N]: the N-th reading's row letter in lower case
    int dropOut = 0;       // drop-out[=N]: hang up halfway through the N-th dataset block
    int lowerReady = 0;    // lower-ready: answer "START" with "ok", not "O"

    // Adds the fault "name" or "name=N"; on a bad name or count returns false and says why.
    bool add(const QString& fault, QString* error = nullptr);
    // Every fault name, for usage texts.
    static QStringList names();
};

}  // namespace vantorix::sim
