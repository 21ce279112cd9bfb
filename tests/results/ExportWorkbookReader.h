// Reads a written .xlsx workbook (openpyxl) or .csv file (the csv module) back with a real
// reader run by Debian's Python, for the export tests.
#pragma once

#include <QString>
#include <QStringList>
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

// Every text the workbook stores, decoded as the file format defines ("_xHHHH_" is the
// character HHHH), as a spreadsheet program reads them.
QStringList workbookTexts(const QString& path);

// The CSV file's records, each field typed "str" when it was quoted and "float" when not.
std::vector<std::vector<ReadCell>> readCsv(const QString& path);

}  // namespace vantorix::test
