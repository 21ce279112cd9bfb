// Reads a written .xlsx workbook back with a real reader (openpyxl, run by Debian's Python),
// for the export tests.
#pragma once

#include <QString>
#include <QVariant>
#include <map>
#include <utility>
#include <vector>

namespace vantorix::test {

struct ReadCell {
    QString type;  // the reader's type name: "str", "int", "float"
    QVariant value;
};

struct ReadSheet {
    QString name;
    int maxRow = 0;
    std::map<std::pair<int, int>, ReadCell> cells;
    // The cell at (row, column); type "" when it is empty.
    ReadCell at(int row, int column) const {
        const auto it = cells.find({row, column});
        return it == cells.end() ? ReadCell{} : it->second;
    }
    // Highest row that holds a value.
    int usedRows() const {
        int rows = 0;
        for (const auto& [at, cell] : cells) rows = std::max(rows, at.first);
        return rows;
    }
};

// The workbook's sheets in order; records a test failure and returns none when it cannot be
// read.
std::vector<ReadSheet> readWorkbook(const QString& path);

}  // namespace vantorix::test
