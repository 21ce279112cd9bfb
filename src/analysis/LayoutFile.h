// Layout files: what each well holds, as a CSV list (well,role,name,concentration,dilution,
// one row per well that is not empty) or as plate-shaped blocks typed in a spreadsheet (8 rows
// by 12 columns, row letters in the first column and column numbers in the first row, each
// block headed by role, name, concentration or dilution). A well the user left out carries
// its reason in an extra "excluded" column (or block).
#pragma once

#include <QString>

#include "plate/WellLayout.h"

namespace vantorix {

struct LayoutRead {
    bool ok = false;
    WellLayout layout;
    QString message;  // what is wrong, naming the line and the well; empty when ok
};

// Either form, told apart by the first line; commas, semicolons or tabs between cells.
LayoutRead parseLayoutText(const QString& text);
// A UTF-8 file (a byte-order mark is skipped).
LayoutRead readLayoutFile(const QString& path);

// The CSV form, header line included, rows in well order, "\n" line ends.
QString layoutCsvText(const WellLayout& layout);
// Writes the CSV form, replacing a file at path only once the new one is whole. Empty when
// written, else why not.
QString writeLayoutFile(const WellLayout& layout, const QString& path);

// Where the layout of a data file is kept: beside it, "run.ovd" -> "run.layout.csv".
QString layoutPathFor(const QString& dataFilePath);

}  // namespace vantorix
