#include "results/ExportCells.h"

#include <algorithm>

#include "kernel/ProgramState.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {
ExportCell text(const char* t) {
    return {ExportCell::Kind::Text, QString::fromLatin1(t), 0};
}
}  // namespace

ExportCell readingCell(const Reading& reading) {
    const double v = readingValue(reading.Value);
    if (v > kSaturationLimit) return text("sat");
    if (v < 0) return text("X");
    if (v - kDarkOffset < 0) return {ExportCell::Kind::Integer, {}, 0};
    return {ExportCell::Kind::Number, {}, v - kDarkOffset};
}

ExportCell timeCell(const Reading& reading) {
    if (readingValue(reading.Value) < 0) return text("X");
    return {ExportCell::Kind::Number, {}, leadingNumber(reading.Time)};
}

std::array<ExportHeaderLine, kExportHeaderLines> exportHeaderLines(const DataHeader& h) {
    return {{{QStringLiteral("Date: "), h.date},
             {QStringLiteral("Time: "), h.time},
             {QStringLiteral("Operator: "), h.operatorName},
             {QStringLiteral("Plate No: "), h.plateNo},
             {QStringLiteral("Notes: "), h.notes},
             {QStringLiteral("Test: "), h.test},
             {QStringLiteral("Extra Sensitivity Option: "), h.extraSensitivity}}};
}

QString exportSetLine(int set) {
    return QStringLiteral("Set: ") + QString::number(set);
}

ExportDocument readExportDocument(const ProgramState& s) {
    ExportDocument doc;
    DataHeader header;
    QString formatId;  // the loader keeps the document's own in FileFormatId
    if (!ReadDataHeader(s.keyStore, header, formatId)) {
        doc.sets = std::clamp<int>(s.SetCount, 0, kMaxSets);
        return doc;
    }
    doc.header = header;
    const QString sets = s.keyStore.value(kDataSetsKey);
    doc.sets = std::clamp<int>(toInt16(leadingNumber(sets)), 0, kMaxSets);
    return doc;
}

}  // namespace vantorix
