// A plate document: what a data file holds and a run produces, typed. The header the operator
// wrote, the run's options (the well selection among them), the instrument's firmware version,
// and the datasets of 96 readings each. Text forms of readings ("-1", "sat", "X") exist only
// where files are read and written and where cells are drawn.
#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <vector>

#include "kernel/RunOptions.h"
#include "plate/PlateGeometry.h"
#include "plate/WellLayout.h"
#include "plate/WellReading.h"

namespace vantorix {

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

    int setCount() const { return int(datasets.size()); }
    bool selected(int well) const {
        return options.SelectedWells[well / kPlateColumns][well % kPlateColumns];
    }
    bool operator==(const PlateDocument&) const = default;
};

}  // namespace vantorix
