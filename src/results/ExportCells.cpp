#include "results/ExportCells.h"

#include <algorithm>

namespace vantorix {

namespace {
ExportCell text(const char* t) {
    return {ExportCell::Kind::Text, QString::fromLatin1(t), 0};
}
}  // namespace

ExportCell readingCell(const WellReading& reading) {
    const double v = reading.raw.value_or(-1);
    if (v > kSaturationLimit) return text("sat");
    if (v < 0) return text("X");
    if (v - kDarkOffset < 0) return {ExportCell::Kind::Integer, {}, 0};
    return {ExportCell::Kind::Number, {}, v - kDarkOffset};
}

ExportCell timeCell(const WellReading& reading) {
    if (!reading.raw) return text("X");
    return {ExportCell::Kind::Number, {}, reading.seconds.value_or(-1)};
}

std::array<ExportHeaderLine, kExportHeaderLines> exportHeaderLines(const PlateHeader& h) {
    return {{{QStringLiteral("Date: "), h.dateText},
             {QStringLiteral("Time: "), h.timeText},
             {QStringLiteral("Operator: "), h.operatorName},
             {QStringLiteral("Plate No: "), h.plateNo},
             {QStringLiteral("Notes: "), h.notes},
             {QStringLiteral("Test: "), h.test},
             {QStringLiteral("Extra Sensitivity Option: "), h.sensitivityText}}};
}

QString exportSetLine(int set) {
    return QStringLiteral("Set: ") + QString::number(set);
}

ExportDocument readExportDocument(const PlateDocument& d, int shownSets) {
    ExportDocument doc;
    if (!d.recognised) {
        doc.sets = std::clamp(shownSets, 0, kMaxSets);
        return doc;
    }
    doc.header = d.header;
    doc.sets = std::clamp(d.declaredSets.value_or(0), 0, kMaxSets);
    return doc;
}

}  // namespace vantorix
