// What the export writes, independent of where it goes: the header block and the cell of a
// well on the readings sheet and on the times sheet.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "plate/PlateDocument.h"

namespace vantorix {

struct ExportCell {
    enum class Kind { Text, Integer, Number };
    Kind kind = Kind::Text;
    QString text;       // Kind::Text
    double number = 0;  // Kind::Integer (a whole number) and Kind::Number
    bool operator==(const ExportCell&) const = default;
};

// Readings sheet: "sat" above the saturation limit, "X" for no reading, the integer 0 below
// the dark offset, else the reading less the offset, unrounded.
ExportCell readingCell(const WellReading& reading);
// Times sheet: "X" for no reading, else the time in seconds as a number (-1 when the reading
// has no time).
ExportCell timeCell(const WellReading& reading);

struct ExportHeaderLine {
    QString label;
    QString value;
};
constexpr int kExportHeaderLines = 7;
std::array<ExportHeaderLine, kExportHeaderLines> exportHeaderLines(const PlateHeader& header);

// "Set: " followed by the set number.
QString exportSetLine(int set);

// What an export writes: the header when the document was recognised as a data file of this
// program, and the number of sets. The sets are the document's declared set count when it was
// recognised, else the set count the window shows; either is kept within 0..255.
struct ExportDocument {
    std::optional<PlateHeader> header;
    int sets = 0;
};
ExportDocument readExportDocument(const PlateDocument& d, int shownSets);

}  // namespace vantorix
