#include "plate/PlateGeometry.h"

namespace vantorix {

QString wellName(int well) {
    if (well < 0 || well >= kWellCount) return {};
    return QChar(u'A' + wellRowOf(well)) + QString::number(wellColumnOf(well) + 1);
}

std::optional<int> wellFromName(QStringView name) {
    const QStringView t = name.trimmed();
    if (t.size() < 2 || t.size() > 3) return std::nullopt;
    const char16_t letter = t[0].toUpper().unicode();
    if (letter < u'A' || letter > u'H') return std::nullopt;
    int column = 0;
    for (QChar c : t.mid(1)) {
        if (!c.isDigit() || c.unicode() > 127) return std::nullopt;
        column = column * 10 + (c.unicode() - u'0');
    }
    if (column < 1 || column > kPlateColumns) return std::nullopt;
    return WellIndex(letter - u'A', column - 1);
}

}  // namespace vantorix
