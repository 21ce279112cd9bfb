// A plate document: what a data file holds and a run produces, typed. The header the operator
// wrote, the run's options (the well selection among them), the instrument's firmware version,
// and the datasets of 96 readings each. Text forms of readings ("-1", "sat", "X") exist only
// where files are read and written and where cells are drawn.
#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "kernel/RunOptions.h"
#include "plate/PlateGeometry.h"
#include "plate/WellLayout.h"
#include "plate/WellReading.h"

namespace vantorix {

constexpr int kMaxSets = 255;  // the most datasets a document holds

struct Dataset {
    std::array<WellReading, kWellCount> wells{};  // in well-number order, A1 .. H12
    bool complete = true;  // false while the set is being measured or when it was cut short

    const WellReading& at(int row, int column) const { return wells[WellIndex(row, column)]; }
    WellReading& at(int row, int column) { return wells[WellIndex(row, column)]; }
    bool operator==(const Dataset&) const = default;
};

struct PlateHeader {
    QString test, operatorName, plateNo, notes;
    // As the file stores them ("12/6/2026", "3:04:05 PM"); the date a run was saved.
    QString dateText, timeText;
    bool extraSensitive = false;
    // As the file states them: the set count ("3", "" when missing) and the sensitivity word
    // ("On", "Off"). The window and the exports show them so.
    QString setsText, sensitivityText;
    bool operator==(const PlateHeader&) const = default;
};

struct PlateDocument {
    PlateHeader header;
    RunOptions options;  // the selection is the file's mask, else the wells holding readings
    QString firmwareVersion;
    QString formatId;               // the file's format id; "" for a run not yet saved
    QString programVersion;         // the version of the program that wrote the file
    std::vector<Dataset> datasets;  // set 1 is datasets[0]
    WellLayout layout;              // what the wells hold, for an analysis

    // What a data file says of itself. fromFile: the document was read from one (a new
    // measurement's is not). recognised: its header names this program's data format, so an
    // export writes the header. declaredSets: the set count the header declares when it is a
    // number (rounded), which the set browser and the exports follow. hasMask: the selection
    // is the file's mask rather than the wells holding readings.
    bool fromFile = false;
    bool recognised = false;
    std::optional<int> declaredSets;
    bool hasMask = false;

    int setCount() const { return int(datasets.size()); }
    // The reading of well (row 1-8, column 1-12) in `set` (from 1); none for a set the
    // document does not hold.
    const WellReading& reading(int set, int row, int column) const;
    // Dataset `set` (1-255), the datasets grown with empty sets up to it.
    Dataset& dataset(int set);
    // Dataset `set` without readings, grown as dataset() does.
    void clearSet(int set) { dataset(set) = Dataset{}; }
    bool selected(int well) const {
        return options.SelectedWells[well / kPlateColumns][well % kPlateColumns];
    }
    bool operator==(const PlateDocument&) const = default;
};

}  // namespace vantorix
