// A recognised document in a ProgramState, built directly in the key store and readings, for
// the export tests.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include <gtest/gtest.h>

#include "files/OvdWriter.h"
#include "kernel/ProgramState.h"

namespace vantorix::test {

inline void addKey(ProgramState& s, const QString& path, const QString& value) {
    s.keyStore.append(kRootKey + path + u'=' + value);
}

// Header keys of a "C" document with `sets` as its set count (as text, so tests can store
// anything there).
inline void fillHeader(ProgramState& s, const QString& sets) {
    addKey(s, ".format-id", "A");
    addKey(s, ".user-application.name", "The Vantorix");
    addKey(s, ".user-application.format-id", "C");
    addKey(s, ".data-header.date", "3/14/2024");
    addKey(s, ".data-header.time", "9:05:07 AM");
    // Texts an import could split or evaluate, or the workbook format could unescape.
    addKey(s, ".data-header.test", "ATP, batch \"7\" _x005F_x");
    addKey(s, ".data-header.operator", "Ines\tK");
    addKey(s, ".data-header.plate-no", "0042");
    addKey(s, ".data-header.notes", "=1+2; pH 7 _x0041_");
    addKey(s, ".data-header.extra-sensitivity-option", "On");
    addKey(s, ".data.sets", sets);
}

// Fills every well of sets 1..sets with a distinct reading and time.
inline void fillReadings(ProgramState& s, int sets) {
    for (int k = 1; k <= sets; ++k)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c)
                s.readings.at(k, r, c) = {QString::number(1000 * k + 100 * r + c),
                                          QString::number(10 * k + r + c)};
}

// A state holding the header (with `sets` as its set count) and the readings of sets
// 1..readingSets.
inline ProgramState document(const QString& sets, int readingSets) {
    ProgramState s;
    fillHeader(s, sets);
    fillReadings(s, readingSets);
    return s;
}

// Set 1's A1..A5 read at the offset, below it, never, saturated and with a fraction.
inline void setEdgeReadings(ProgramState& s) {
    s.readings.at(1, 1, 1) = {"280", "0"};
    s.readings.at(1, 1, 2) = {"279", "1"};
    s.readings.at(1, 1, 3) = {"-1", "-1"};
    s.readings.at(1, 1, 4) = {"1473001", "9"};
    s.readings.at(1, 1, 5) = {"1000.25", "12"};
}

// Writes folder/plate.ovd: two sets of a run that selected every well but H12, each well with
// a distinct reading, changed by `adjust` before the file is written.
inline void writeTwoSetFile(const QString& folder,
                            const std::function<void(ProgramState&)>& adjust) {
    ProgramState s;
    s.DataFileName = "plate.ovd";
    s.LastSet = 2;
    for (auto& row : s.CurrentOptions.SelectedWells) row.fill(true);
    s.CurrentOptions.SelectedWells[7][11] = false;
    fillReadings(s, 2);
    adjust(s);
    const WriteResult written =
        WriteDataFile(s, folder, QDateTime(QDate(2024, 3, 14), QTime(9, 5, 7)));
    ASSERT_TRUE(written.ok) << written.error.toStdString();
}

// The two-set file with set 1's A1 never read and A2 saturated, and notes a CSV reader could
// split.
inline void writeTwoSetRun(const QString& folder) {
    writeTwoSetFile(folder, [](ProgramState& s) {
        s.Operator = "Ines";
        s.Notes = "first, second";
        s.readings.at(1, 1, 1) = {"-1", "-1"};
        s.readings.at(1, 1, 2) = {"2000000", "3"};
    });
}

}  // namespace vantorix::test
