// Reading layout text: lines split into cells, numbers, and the rules every layout meets
// whichever form it was typed in.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "analysis/LayoutFile.h"

namespace vantorix {

struct LayoutLine {
    int number;  // 1-based, as an editor shows it
    QStringList cells;
};
// The lines that hold anything, split at the first line's separator (tab, semicolon or
// comma), cells trimmed; a quoted cell keeps separators and doubled quotes.
using LayoutLines = std::vector<LayoutLine>;
LayoutLines layoutLines(const QString& text);

// A positive number ("2.5", "1e3"; "2,5" too where cells are not comma-separated); none for
// anything else. An empty cell is the fallback.
std::optional<double> positiveNumber(const QString& cell);

// "line N: " + message.
QString onLine(int line, const QString& message);

// Empty when each well's entries fit its role, else the first well that breaks a rule.
QString layoutProblem(const WellLayout& layout);

// The list form: a header naming well, role and optionally name, concentration, dilution,
// excluded; one row per well.
bool isCsvLayout(const LayoutLines& lines);
LayoutRead parseCsvLayout(const LayoutLines& lines);
// The plate-shaped form: a block per field, 8 rows by 12 columns.
LayoutRead parseBlockLayout(const LayoutLines& lines);

// A header cell's field in lower case; "concentration (ng/mL)" gives "concentration" and
// its unit, the form a spreadsheet column is titled in.
QString headingField(const QString& cell, QString& unit);

// A role, concentration or dilution typed into a cell, checked, into the well's entry.
QString setLayoutField(WellAssignment& w, const QString& field, const QString& cell, int well);

}  // namespace vantorix
