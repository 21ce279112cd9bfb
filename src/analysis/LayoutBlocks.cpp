// The plate-shaped form of a layout file, as typed in a spreadsheet: a block per field, each
// a heading (role, name, concentration, dilution or excluded), a row of column numbers 1-12
// (on the heading's line or the next) and rows A-H, each starting with its letter.
#include <array>
#include <map>

#include "analysis/LayoutText.h"
#include "plate/PlateGeometry.h"

namespace vantorix {

namespace {

struct Cell {
    QString text;
    int line = 0;
};
using Block = std::array<Cell, kWellCount>;
using Blocks = std::map<QString, Block>;

const QStringList& blockNames() {
    static const QStringList names{QStringLiteral("role"), QStringLiteral("name"),
                                   QStringLiteral("concentration"), QStringLiteral("dilution"),
                                   QStringLiteral("excluded")};
    return names;
}

bool isRowLine(const LayoutLine& line) {
    const QString& first = line.cells.front();
    return first.size() == 1 && first[0].isLetter();
}

// Cell index -> column 0..11 from a line of column numbers (its first cell is skipped).
QString readColumns(const LayoutLine& line, std::map<qsizetype, int>& columns) {
    for (qsizetype i = 1; i < line.cells.size(); ++i) {
        if (line.cells[i].isEmpty()) continue;
        bool ok = false;
        const int column = line.cells[i].toInt(&ok);
        if (!ok || column < 1 || column > kPlateColumns)
            return onLine(line.number,
                          QStringLiteral("column heading '%1' is not a column of the plate (1-12)")
                              .arg(line.cells[i]));
        columns[i] = column - 1;
    }
    if (columns.empty()) return onLine(line.number, QStringLiteral("no column numbers 1-12"));
    return {};
}

QString readRow(const LayoutLine& line, const std::map<qsizetype, int>& columns, Block& block,
                std::array<bool, kPlateRows>& seen) {
    const int row = line.cells.front().toUpper()[0].unicode() - u'A';
    if (row < 0 || row >= kPlateRows)
        return onLine(
            line.number,
            QStringLiteral("row '%1' is outside the plate (A1-H12)").arg(line.cells.front()));
    if (seen[size_t(row)])
        return onLine(
            line.number,
            QStringLiteral("row %1 appears twice in one block").arg(line.cells.front().toUpper()));
    seen[size_t(row)] = true;
    for (qsizetype i = 1; i < line.cells.size(); ++i) {
        if (line.cells[i].isEmpty()) continue;
        const auto column = columns.find(i);
        if (column == columns.end())
            return onLine(line.number,
                          QStringLiteral("'%1' stands in no column of the plate (A1-H12)")
                              .arg(line.cells[i]));
        block[size_t(row * kPlateColumns + column->second)] = {line.cells[i], line.number};
    }
    return {};
}

// One block from its heading at lines[l]; l is left on the line after it.
QString readBlock(const LayoutLines& lines, size_t& l, Blocks& blocks, QString& unit) {
    const LayoutLine& heading = lines[l++];
    const QString field = headingField(heading.cells.front(), unit);
    if (!blockNames().contains(field))
        return onLine(heading.number, QStringLiteral("'%1' is neither a block heading (role, "
                                                     "name, concentration, dilution, excluded) "
                                                     "nor a row A-H")
                                          .arg(heading.cells.front()));
    if (blocks.count(field))
        return onLine(heading.number, QStringLiteral("a second '%1' block").arg(field));
    std::map<qsizetype, int> columns;
    const bool numbersBelow = heading.cells.mid(1).join(QString()).isEmpty();
    if (numbersBelow && l == lines.size())
        return onLine(heading.number, QStringLiteral("no column numbers 1-12"));
    const QString e = readColumns(numbersBelow ? lines[l++] : heading, columns);
    if (!e.isEmpty()) return e;
    Block& block = blocks[field];
    std::array<bool, kPlateRows> seen{};
    for (; l < lines.size() && isRowLine(lines[l]); ++l)
        if (const QString r = readRow(lines[l], columns, block, seen); !r.isEmpty()) return r;
    return {};
}

QString applyBlocks(const Blocks& blocks, WellLayout& layout) {
    for (const QString& field : blockNames()) {
        const auto it = blocks.find(field);
        if (it == blocks.end()) continue;
        for (int well = 0; well < kWellCount; ++well) {
            const Cell& cell = it->second[size_t(well)];
            if (cell.text.isEmpty()) continue;
            const QString e = setLayoutField(layout.wells[size_t(well)], field, cell.text, well);
            if (!e.isEmpty()) return onLine(cell.line, e);
        }
    }
    return layoutProblem(layout);
}

LayoutRead failed(const QString& message) {
    LayoutRead r;
    r.message = message;
    return r;
}

}  // namespace

LayoutRead parseBlockLayout(const LayoutLines& lines) {
    Blocks blocks;
    QString unit;
    for (size_t l = 0; l < lines.size();)
        if (const QString e = readBlock(lines, l, blocks, unit); !e.isEmpty()) return failed(e);
    if (!blocks.count(QStringLiteral("role")))
        return failed(QStringLiteral("no 'role' block: the layout says nothing about the wells"));
    LayoutRead r;
    r.layout.concentrationUnit = unit;
    if (const QString e = applyBlocks(blocks, r.layout); !e.isEmpty()) return failed(e);
    for (WellAssignment& w : r.layout.wells)
        if (w.role == WellRole::Empty) w = {};  // names typed beside an empty well mean nothing
    r.ok = true;
    return r;
}

}  // namespace vantorix
