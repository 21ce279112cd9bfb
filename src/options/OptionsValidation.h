// The checks the options dialog applies when the user presses OK, as a function of the
// dialog's field texts and which of them are enabled. The first failure wins.
#pragma once

#include <QString>
#include <array>

#include "kernel/RunOptions.h"

namespace vantorix {

// The ten numeric fields the dialog edits as text.
enum class OptionField {
    Presamples,
    Postsamples,
    Pump1Volume,
    Pump2Volume,
    Dwell,
    PostInjectDelay,
    Prime1,
    Prime2,
    Repeats,
    Delay,
};
constexpr int kOptionFieldCount = 10;

struct FieldLimits {
    int min;
    int max;
};
// Accepted range of a field, both ends inclusive.
FieldLimits fieldLimits(OptionField field);
// The field's name as the user knows it: "Pump 1 Volume", "Number of Runs", ...
QString fieldName(OptionField field);
// "'Dwell' must be a whole number from 0 to 500." For fields the dialog does not show, where
// the usual reaction (select and focus the field) would point at nothing.
QString fieldRangeMessage(OptionField field);

constexpr int kMaxPumpTotal = 250;
inline const QString kRepeatCountMessage =
    QStringLiteral("The number of repeating runs must be greater 1.  Please correct");
inline const QString kPumpTotalMessage =
    QStringLiteral("'Pump 1 Volume' + 'Pump 2 Volume' cannot exceed 250");

// What the dialog holds when OK is pressed.
struct OptionsFields {
    QString Presamples, Postsamples, Pump1Volume, Pump2Volume, Dwell, PostInjectDelay, Prime1,
        Prime2, Repeats, Delay;
    bool singleRun = true;
    // Disabled text boxes (the repeat fields in single-run mode) are not checked.
    bool repeatsEnabled = false;
    bool delayEnabled = false;

    const QString& text(OptionField field) const;
    QString& text(OptionField field);
};

// The texts and states a dialog filled from the record shows.
OptionsFields fieldsFromOptions(const RunOptions& options);

struct ValidationFailure {
    enum Kind { None, RepeatCount, Field, PumpTotal };
    Kind kind = None;
    // Field: the offending field. PumpTotal: the pump field to focus (the larger volume,
    // Pump1Volume when both are equal).
    OptionField field = OptionField::Presamples;
    FieldLimits limits{0, 0};  // Field: the field's accepted range
    // RepeatCount and PumpTotal: the text of the message box. Field: fieldRangeMessage, for
    // use when the field is not on screen (a visible field only beeps and gets the focus).
    QString message;

    bool ok() const { return kind == None; }
};

ValidationFailure validateOptions(const OptionsFields& fields);

}  // namespace vantorix
