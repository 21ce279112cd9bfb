// What the export writes, independent of where it goes: the header block and the cell of a
// well on the readings sheet and on the times sheet.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "kernel/KeyStore.h"
#include "kernel/Readings.h"

namespace vantorix {

struct ProgramState;

struct ExportCell {
    enum class Kind { Text, Integer, Number };
    Kind kind = Kind::Text;
    QString text;       // Kind::Text
    double number = 0;  // Kind::Integer (a whole number) and Kind::Number
    bool operator==(const ExportCell&) const = default;
};

// Readings sheet: "sat" above the saturation limit, "X" for no reading (see readingValue), the
// integer 0 below the dark offset, else the reading less the offset, unrounded.
ExportCell readingCell(const Reading& reading);
// Times sheet: "X" for no reading, else the time in seconds as a number.
ExportCell timeCell(const Reading& reading);

struct ExportHeaderLine {
    QString label;
    QString value;
};
constexpr int kExportHeaderLines = 7;
std::array<ExportHeaderLine, kExportHeaderLines> exportHeaderLines(const DataHeader& header);

// "Set: " followed by the set number.
QString exportSetLine(int set);

// What an export writes: the header when the document in the key store passes the header
// check, and the number of sets. The sets are the document's stored set count when the header
// passed, else the window's SetCount; either is kept within the readings table, so a corrupt
// count never reads outside it.
struct ExportDocument {
    std::optional<DataHeader> header;
    int sets = 0;
};
ExportDocument readExportDocument(const ProgramState& s);

}  // namespace vantorix
