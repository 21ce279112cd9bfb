#include "files/OvdStatistics.h"

#include "kernel/Text.h"
#include "plate/PlateDocument.h"

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

OvdStatistics computeStatistics(const PlateDocument& document) {
    OvdStatistics stats;
    for (const Dataset& set : document.datasets)
        for (const WellReading& well : set.wells)
            if (well.raw) stats.add(*well.raw);
    return stats;
}

}  // namespace vantorix
