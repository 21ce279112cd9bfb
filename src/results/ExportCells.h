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

// Readings sheet: "sat" above the saturation limit, "X" for no reading (-1), the integer 0
// below the dark offset, else the reading less the offset, unrounded.
ExportCell readingCell(const Reading& reading);
// Times sheet: "X" for no reading (-1), else the time in seconds as a number.
ExportCell timeCell(const Reading& reading);

struct ExportHeaderLine {
    QString label;
    QString value;
};
constexpr int kExportHeaderLines = 7;
std::array<ExportHeaderLine, kExportHeaderLines> exportHeaderLines(const DataHeader& header);

// "Set: " followed by the set number.
QString exportSetLine(int set);

// The header check of the document in the key store. On success also refreshes SetCount from
// the stored set count (kept within the readings table); on failure leaves SetCount alone.
std::optional<DataHeader> readExportHeader(ProgramState& s);

// SetCount within 0..kMaxSets, so that a corrupt count never reads outside the table.
int exportSetCount(const ProgramState& s);

}  // namespace vantorix
