// The run options record: which wells are read and how the instrument measures them.
#pragma once

#include <QtGlobal>
#include <array>

namespace vantorix {

constexpr int kPlateRows = 8;
constexpr int kPlateColumns = 12;
constexpr int kWellCount = kPlateRows * kPlateColumns;

// Reaction types of the instrument.
constexpr qint16 kReactionGlow = 1;
constexpr qint16 kReactionFlash = 2;

// Well number of (row 0-7, column 0-11): A1 = 0, A12 = 11, B1 = 12, H12 = 95.
constexpr int WellIndex(int row, int column) {
    return row * kPlateColumns + column;
}

struct RunOptions {
    // [row 0-7][column 0-11], true = the well is read.
    std::array<std::array<bool, kPlateColumns>, kPlateRows> SelectedWells{};
    qint16 Presamples = 0;
    qint16 Postsamples = 20;
    qint16 Pump1Volume = 100;
    qint16 Pump2Volume = 100;
    qint16 Dwell = 500;
    qint16 PostInjectDelay = 0;
    qint16 Prime1 = 0;
    qint16 Prime2 = 0;
    qint16 Reaction = kReactionGlow;
    bool RepeatMode = false;
    qint16 Repeats = 1;
    qint16 Delay = 0;
    qint16 Sensitive = 0;

    RunOptions() {
        for (auto& row : SelectedWells) row.fill(true);
    }
    bool operator==(const RunOptions&) const = default;
};

}  // namespace vantorix
