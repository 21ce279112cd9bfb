#include "options/WellSelection.h"

#include <QStringList>
#include <optional>

namespace vantorix {

namespace {

bool onPlate(int row, int column) {
    return row >= 0 && row < kPlateRows && column >= 0 && column < kPlateColumns;
}

bool& cell(WellMatrix& wells, int index) {
    return wells[index / kPlateColumns][index % kPlateColumns];
}

bool isSelected(const WellMatrix& wells, int index) {
    return wells[index / kPlateColumns][index % kPlateColumns];
}

// Fills the group when any of its wells is clear, else clears it.
template <typename Cells>
void fillOrClear(WellMatrix& wells, const Cells& indices) {
    bool complete = true;
    for (int i : indices) complete = complete && isSelected(wells, i);
    for (int i : indices) cell(wells, i) = !complete;
}

// Well number of "A1" ... "H12" (case-insensitive), or nothing.
std::optional<int> parseWell(QStringView text) {
    if (text.size() < 2 || text.size() > 3) return std::nullopt;
    const char16_t letter = text[0].toUpper().unicode();
    if (letter < u'A' || letter >= u'A' + kPlateRows) return std::nullopt;
    int column = 0;
    for (QChar c : text.mid(1)) {
        if (c < u'0' || c > u'9') return std::nullopt;
        column = column * 10 + (c.unicode() - u'0');
    }
    if (column < 1 || column > kPlateColumns || text[1] == u'0') return std::nullopt;
    return WellIndex(letter - u'A', column - 1);
}

QString nameOf(int index) {
    return wellName(index / kPlateColumns, index % kPlateColumns);
}

}  // namespace

QString wellName(int row, int column) {
    return QChar(u'A' + row) + QString::number(column + 1);
}

void toggleWell(WellMatrix& wells, int row, int column) {
    if (onPlate(row, column)) wells[row][column] = !wells[row][column];
}

void toggleRow(WellMatrix& wells, int row) {
    if (row < 0 || row >= kPlateRows) return;
    std::array<int, kPlateColumns> indices{};
    for (int c = 0; c < kPlateColumns; ++c) indices[c] = WellIndex(row, c);
    fillOrClear(wells, indices);
}

void toggleColumn(WellMatrix& wells, int column) {
    if (column < 0 || column >= kPlateColumns) return;
    std::array<int, kPlateRows> indices{};
    for (int r = 0; r < kPlateRows; ++r) indices[r] = WellIndex(r, column);
    fillOrClear(wells, indices);
}

void toggleAll(WellMatrix& wells) {
    std::array<int, kWellCount> indices{};
    for (int i = 0; i < kWellCount; ++i) indices[i] = i;
    fillOrClear(wells, indices);
}

int selectedCount(const WellMatrix& wells) {
    int n = 0;
    for (const auto& row : wells)
        for (bool selected : row) n += selected ? 1 : 0;
    return n;
}

bool parseWellList(const QString& text, WellMatrix& wells, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    WellMatrix result{};
    const QStringList items = text.split(u',');
    for (const QString& raw : items) {
        const QString item = raw.trimmed();
        if (item.isEmpty()) return fail(QStringLiteral("empty item in well list \"%1\"").arg(text));
        if (item.compare(u"all", Qt::CaseInsensitive) == 0) {
            for (auto& row : result) row.fill(true);
            continue;
        }
        if (item.compare(u"none", Qt::CaseInsensitive) == 0) continue;
        const qsizetype dash = item.indexOf(u'-');
        const QStringView first = QStringView(item).left(dash < 0 ? item.size() : dash).trimmed();
        const QStringView last = dash < 0 ? first : QStringView(item).mid(dash + 1).trimmed();
        const auto from = parseWell(first);
        const auto to = parseWell(last);
        if (!from || !to)
            return fail(
                QStringLiteral("\"%1\" is not a well (A1 to H12) or a range of wells").arg(item));
        if (*to < *from)
            return fail(QStringLiteral("range \"%1\" ends before it starts").arg(item));
        for (int i = *from; i <= *to; ++i) cell(result, i) = true;
    }
    wells = result;
    return true;
}

QString formatWellList(const WellMatrix& wells) {
    const int count = selectedCount(wells);
    if (count == 0) return QStringLiteral("none");
    if (count == kWellCount) return QStringLiteral("all");
    QStringList parts;
    for (int i = 0; i < kWellCount; ++i) {
        if (!isSelected(wells, i)) continue;
        int end = i;
        while (end + 1 < kWellCount && isSelected(wells, end + 1)) ++end;
        parts << (end == i ? nameOf(i) : nameOf(i) + u'-' + nameOf(end));
        i = end;
    }
    return parts.join(u',');
}

}  // namespace vantorix
