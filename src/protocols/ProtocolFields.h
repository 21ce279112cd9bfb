// The keys of a protocol's text form shared by its writer and its reader: the run options'
// numeric keys and the dialog fields they stand for, the layout map's role marks, and how a
// concentration or dilution is written.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "options/OptionsValidation.h"
#include "plate/WellLayout.h"

namespace vantorix::protocol {

struct NumberKey {
    const char* key;
    OptionField field;
    qint16 RunOptions::*member;
};

// In the order they are written.
inline constexpr std::array<NumberKey, kOptionFieldCount> kNumberKeys{{
    {"repeats", OptionField::Repeats, &RunOptions::Repeats},
    {"delay", OptionField::Delay, &RunOptions::Delay},
    {"pre-inject", OptionField::Presamples, &RunOptions::Presamples},
    {"post-inject", OptionField::Postsamples, &RunOptions::Postsamples},
    {"pump1", OptionField::Pump1Volume, &RunOptions::Pump1Volume},
    {"pump2", OptionField::Pump2Volume, &RunOptions::Pump2Volume},
    {"prime1", OptionField::Prime1, &RunOptions::Prime1},
    {"prime2", OptionField::Prime2, &RunOptions::Prime2},
    {"dwell", OptionField::Dwell, &RunOptions::Dwell},
    {"inject-delay", OptionField::PostInjectDelay, &RunOptions::PostInjectDelay},
}};

// A well's role as the layout map shows it: '.', 'B', 'S', 'P', 'N', 'U'.
QChar roleMark(WellRole role);
std::optional<WellRole> roleOfMark(QStringView mark);

// The shortest text that reads back as the same number ("0.1", "1e-05", "250").
QString numberText(double value);

// The column header of a plate map, and row `row`'s line with the given marks.
QString mapHeader();
QString mapRow(int row, const std::array<QString, kPlateColumns>& marks);

}  // namespace vantorix::protocol
