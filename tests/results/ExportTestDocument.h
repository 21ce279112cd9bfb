// A recognised document for the export tests, built with the one document
// builder (support/PlateBuilder.h).
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "files/PlateFile.h"
#include "support/PlateBuilder.h"

namespace vantorix::test {

// The header of a document read from a "C" file declaring `sets` sets (none: no number).
inline void fillHeader(PlateDocument& d, std::optional<int> sets) {
    d.fromFile = d.recognised = true;
    d.declaredSets = sets;
    PlateHeader& h = d.header;
    h.dateText = "3/14/2024";
    h.timeText = "9:05:07 AM";
    // Texts an import could split or evaluate, or the workbook format could unescape.
    h.test = "ATP, batch \"7\" _x005F_x";
    h.operatorName = "Ines\tK";
    h.plateNo = "0042";
    h.notes = "=1+2; pH 7 _x0041_";
    h.sensitivityText = "On";
    h.extraSensitive = true;
    h.setsText = sets ? QString::number(*sets) : QStringLiteral("many");
}

// Sets 1..sets with the builder's distinct readings and times.
inline void fillReadings(PlateDocument& d, int sets) {
    d.datasets = plateDocument(sets).datasets;
}

// A document holding the header (declaring `sets`) and the readings of sets 1..readingSets.
inline PlateDocument document(std::optional<int> sets, int readingSets) {
    PlateDocument d;
    fillHeader(d, sets);
    fillReadings(d, readingSets);
    return d;
}

// Set 1's A1..A5 read at the offset, below it, never, saturated and with a fraction.
inline void setEdgeReadings(PlateDocument& d) {
    setWell(d, 1, 1, 1, 280, 0);
    setWell(d, 1, 1, 2, 279, 1);
    setWell(d, 1, 1, 3, std::nullopt, std::nullopt);
    setWell(d, 1, 1, 4, 1473001, 9);
    setWell(d, 1, 1, 5, 1000.25, 12);
}

// Writes folder/plate.ovd: two sets of a run that selected every well but H12, each well with
// a distinct reading, changed by `adjust` before the file is written.
inline void writeTwoSetFile(const QString& folder,
                            const std::function<void(PlateDocument&)>& adjust) {
    PlateDocument d = plateDocument(2);
    d.options.SelectedWells[7][11] = false;
    adjust(d);
    const WriteResult written = writePlateFile(d, folder + QStringLiteral("/plate.ovd"),
                                               QDateTime(QDate(2024, 3, 14), QTime(9, 5, 7)));
    ASSERT_TRUE(written.ok) << written.error.toStdString();
}

// The two-set file with set 1's A1 never read and A2 saturated, and notes a CSV reader could
// split.
inline void writeTwoSetRun(const QString& folder) {
    writeTwoSetFile(folder, [](PlateDocument& d) {
        d.header.operatorName = "Ines";
        d.header.notes = "first, second";
        setWell(d, 1, 1, 1, std::nullopt, std::nullopt);
        setWell(d, 1, 1, 2, 2000000, 3);
    });
}

}  // namespace vantorix::test
