// The list form of a layout file: well,role,name,concentration,dilution[,excluded]; the
// concentration column's title may carry the unit ("concentration (ng/mL)").
#include <array>

#include "analysis/LayoutText.h"
#include "plate/PlateGeometry.h"

namespace vantorix {

namespace {

constexpr size_t kColumnCount = 6;

const QStringList& columnNames() {
    static const QStringList names{QStringLiteral("well"),     QStringLiteral("role"),
                                   QStringLiteral("name"),     QStringLiteral("concentration"),
                                   QStringLiteral("dilution"), QStringLiteral("excluded")};
    return names;
}

LayoutRead failed(const QString& message) {
    LayoutRead r;
    r.message = message;
    return r;
}

// Column index of each known field (-1 when absent); an error for an unknown column.
QString readHeader(const LayoutLine& header, std::array<int, kColumnCount>& columns,
                   QString& unit) {
    columns.fill(-1);
    for (qsizetype i = 0; i < header.cells.size(); ++i) {
        const QString key = headingField(header.cells[i], unit);
        const qsizetype column = columnNames().indexOf(key);
        if (column < 0 && !key.isEmpty())
            return onLine(header.number, QStringLiteral("unknown column '%1' (well, role, name, "
                                                        "concentration, dilution, excluded)")
                                             .arg(header.cells[i]));
        if (column >= 0) columns[size_t(column)] = int(i);
    }
    if (columns[1] < 0) return onLine(header.number, QStringLiteral("no 'role' column"));
    return {};
}

}  // namespace

bool isCsvLayout(const LayoutLines& lines) {
    return lines.front().cells.front().compare(u"well", Qt::CaseInsensitive) == 0;
}

LayoutRead parseCsvLayout(const LayoutLines& lines) {
    std::array<int, kColumnCount> columns;
    LayoutRead r;
    if (const QString e = readHeader(lines.front(), columns, r.layout.concentrationUnit);
        !e.isEmpty())
        return failed(e);
    std::array<int, kWellCount> seenOn{};
    for (size_t l = 1; l < lines.size(); ++l) {
        const LayoutLine& line = lines[l];
        const QString wellCell = line.cells.value(columns[0]);
        const auto well = wellFromName(wellCell);
        if (!well)
            return failed(onLine(line.number, QStringLiteral("'%1' is not a well of the plate "
                                                             "(A1-H12)")
                                                  .arg(wellCell)));
        if (seenOn[size_t(*well)])
            return failed(onLine(line.number, QStringLiteral("%1 appears twice (first on line %2)")
                                                  .arg(wellName(*well))
                                                  .arg(seenOn[size_t(*well)])));
        seenOn[size_t(*well)] = line.number;
        WellAssignment& w = r.layout.wells[size_t(*well)];
        for (size_t c = 1; c < kColumnCount; ++c) {
            if (columns[c] < 0) continue;
            const QString e =
                setLayoutField(w, columnNames()[qsizetype(c)], line.cells.value(columns[c]), *well);
            if (!e.isEmpty()) return failed(onLine(line.number, e));
        }
        if (const QString e = layoutProblem(r.layout); !e.isEmpty())
            return failed(onLine(line.number, e));
    }
    r.ok = true;
    return r;
}

}  // namespace vantorix
