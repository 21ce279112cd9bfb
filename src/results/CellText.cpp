#include "results/CellText.h"

#include <cmath>

#include "kernel/Readings.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

const QString kNoReading = QStringLiteral("X");
const QString kSaturated = QStringLiteral("sat");

QString readingText(double value) {
    if (value < 0) return kNoReading;
    if (value > kSaturationLimit) return kSaturated;
    const double corrected = value - kDarkOffset;
    return corrected >= 0 ? formatFixed(corrected, 3, 1) : QStringLiteral("0");
}

}  // namespace

QString cellText(const Readings& readings, int set, int row, int column, GridMode mode,
                 const QString& setsValue) {
    if (!(leadingNumber(setsValue) > 0) || !Readings::inRange(set, row, column)) return kNoReading;
    const Reading& reading = readings.at(set, row, column);
    const double value = readingValue(reading.Value);
    if (mode == GridMode::Readings || value < 0) return readingText(value);
    if (value > kSaturationLimit) return kSaturated;
    return formatFixed(std::trunc(leadingNumber(reading.Time)), 3, 0);
}

QString runCellText(const QString& valueText, bool selected) {
    return selected ? readingText(readingValue(valueText)) : kNoReading;
}

}  // namespace vantorix
