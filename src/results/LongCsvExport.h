// The long table of a document: one row per set and well, the layout analysis scripts and
// laboratory systems read. Header "set,well,value,time,status"; a row for each well that was
// selected or holds a reading; value as the grid shows it (no padding), empty when saturated
// or not read; time in seconds ("-1" for none); status "read", "saturated" or "no-reading".
#pragma once

#include <QString>
#include <QStringList>

namespace vantorix {

struct PlateDocument;

// The lines of the table, header first, for sets 1..sets.
QStringList longCsvLines(const PlateDocument& document, int sets);

// Writes the lines with CR LF ends, replacing path only once complete. Empty text on
// success, else why the file could not be written.
QString WriteLongCsv(const PlateDocument& document, int sets, const QString& path);

}  // namespace vantorix
