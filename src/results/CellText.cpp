#include "results/CellText.h"

#include <cmath>

#include "kernel/Text.h"
#include "plate/WellReading.h"

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

QString cellText(const WellReading& reading, GridMode mode) {
    const double value = reading.raw.value_or(-1);
    if (mode == GridMode::Readings || value < 0) return readingText(value);
    if (value > kSaturationLimit) return kSaturated;
    return formatFixed(std::trunc(reading.seconds.value_or(-1)), 3, 0);
}

QString runCellText(std::optional<double> raw, bool selected) {
    return selected ? readingText(raw.value_or(-1)) : kNoReading;
}

}  // namespace vantorix
