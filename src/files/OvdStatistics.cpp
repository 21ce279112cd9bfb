#include "files/OvdStatistics.h"

#include "kernel/Readings.h"
#include "kernel/Text.h"

namespace vantorix {

void OvdStatistics::add(double reading) {
    if (!(reading > 0)) return;
    const auto single = static_cast<float>(reading);
    if (single < minimum) minimum = single;
    if (single > maximum) maximum = single;
    sum += reading;
    ++count;
}

QString OvdStatistics::minText() const {
    return singleText(minimum);
}

QString OvdStatistics::maxText() const {
    return singleText(maximum);
}

QString OvdStatistics::avgText() const {
    return count > 0 ? doubleText(sum / count) : QStringLiteral("0");
}

OvdStatistics computeStatistics(const Readings& readings, int firstSet, int lastSet) {
    OvdStatistics stats;
    for (int s = firstSet; s <= lastSet; ++s)
        for (int r = 1; r <= kPlateRows; ++r)
            for (int c = 1; c <= kPlateColumns; ++c)
                stats.add(leadingNumber(readings.at(s, r, c).Value));
    return stats;
}

}  // namespace vantorix
