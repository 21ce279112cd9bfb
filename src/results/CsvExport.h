// The export as one CSV file (RFC 4180, "." as decimal separator, every text quoted): the
// header block, then per set the readings and the times as plate-shaped blocks, with the
// workbook's cell rules.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "plate/PlateDocument.h"

namespace vantorix {

struct CsvExportResult {
    bool ok = false;
    bool headerMissing = false;  // the header check failed; sets were written without it
    QString error;               // why the file could not be written
};

// The records of the CSV file, each a list of fields as they go into the file: text quoted,
// numbers plain. shownSets: the set count the window shows (see readExportDocument).
std::vector<QStringList> csvExportRecords(const PlateDocument& d, int shownSets,
                                          bool& headerMissing);

// A text field, always quoted so that no import splits it on ";" or a tab; text that a
// spreadsheet would read as a formula ("=", "+", "-", "@", tab, CR first) gets a leading "'".
QString csvField(const QString& text);

// Writes the records to path with CR LF line ends, replacing the file only once complete.
CsvExportResult WriteCsvExport(const PlateDocument& d, int shownSets, const QString& path);

}  // namespace vantorix
