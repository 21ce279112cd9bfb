#include "options/OptionsValidation.h"

#include <cmath>

#include "kernel/Text.h"

namespace vantorix {

namespace {

struct FieldInfo {
    const char* name;
    FieldLimits limits;
};

// Indexed by OptionField.
constexpr std::array<FieldInfo, kOptionFieldCount> kFieldInfo{{
    {"PreInject", {0, 1}},
    {"PostInject", {0, 25}},
    {"Pump 1 Volume", {0, 250}},
    {"Pump 2 Volume", {0, 250}},
    {"Dwell", {0, 500}},
    {"Post Inject Delay", {0, 5000}},
    {"Prime Pump 1", {0, 25}},
    {"Prime Pump 2", {0, 25}},
    {"Number of Runs", {1, 255}},
    {"Delay between Runs", {0, 999}},
}};

// The order in which OK checks the fields.
constexpr std::array<OptionField, kOptionFieldCount> kCheckOrder{
    OptionField::Pump1Volume,    OptionField::Pump2Volume, OptionField::Presamples,
    OptionField::Postsamples,    OptionField::Dwell,       OptionField::Prime1,
    OptionField::Prime2,         OptionField::Repeats,     OptionField::Delay,
    OptionField::PostInjectDelay};

// Indexed by OptionField.
constexpr std::array<QString OptionsFields::*, kOptionFieldCount> kTextMember{
    &OptionsFields::Presamples,  &OptionsFields::Postsamples, &OptionsFields::Pump1Volume,
    &OptionsFields::Pump2Volume, &OptionsFields::Dwell,       &OptionsFields::PostInjectDelay,
    &OptionsFields::Prime1,      &OptionsFields::Prime2,      &OptionsFields::Repeats,
    &OptionsFields::Delay};

const FieldInfo& info(OptionField field) {
    return kFieldInfo[static_cast<size_t>(field)];
}

bool enabled(const OptionsFields& f, OptionField field) {
    if (field == OptionField::Repeats) return f.repeatsEnabled;
    if (field == OptionField::Delay) return f.delayEnabled;
    return true;
}

bool acceptable(const QString& text, FieldLimits limits) {
    if (!isNumeric(text)) return false;
    const double v = leadingNumber(text);
    return v >= limits.min && v <= limits.max && v == std::floor(v);
}

}  // namespace

FieldLimits fieldLimits(OptionField field) {
    return info(field).limits;
}

QString fieldName(OptionField field) {
    return QString::fromLatin1(info(field).name);
}

QString fieldRangeMessage(OptionField field) {
    const FieldLimits l = fieldLimits(field);
    return QStringLiteral("'%1' must be a whole number from %2 to %3.")
        .arg(fieldName(field))
        .arg(l.min)
        .arg(l.max);
}

const QString& OptionsFields::text(OptionField field) const {
    return this->*kTextMember[static_cast<size_t>(field)];
}

QString& OptionsFields::text(OptionField field) {
    return this->*kTextMember[static_cast<size_t>(field)];
}

OptionsFields fieldsFromOptions(const RunOptions& o) {
    OptionsFields f;
    f.Presamples = QString::number(o.Presamples);
    f.Postsamples = QString::number(o.Postsamples);
    f.Pump1Volume = QString::number(o.Pump1Volume);
    f.Pump2Volume = QString::number(o.Pump2Volume);
    f.Dwell = QString::number(o.Dwell);
    f.PostInjectDelay = QString::number(o.PostInjectDelay);
    f.Prime1 = QString::number(o.Prime1);
    f.Prime2 = QString::number(o.Prime2);
    f.Repeats = QString::number(o.Repeats);
    f.Delay = QString::number(o.Delay);
    f.singleRun = !o.RepeatMode;
    f.repeatsEnabled = o.RepeatMode;
    f.delayEnabled = o.RepeatMode;
    return f;
}

ValidationFailure validateOptions(const OptionsFields& f) {
    ValidationFailure failure;
    // A repeats text that is no number at all reads as 0 and so gets this message, not a beep.
    if (!f.singleRun && leadingNumber(f.Repeats) < 2) {
        failure.kind = ValidationFailure::RepeatCount;
        failure.field = OptionField::Repeats;
        failure.message = kRepeatCountMessage;
        return failure;
    }
    for (OptionField field : kCheckOrder) {
        if (!enabled(f, field) || acceptable(f.text(field), fieldLimits(field))) continue;
        failure.kind = ValidationFailure::Field;
        failure.field = field;
        failure.limits = fieldLimits(field);
        failure.message = fieldRangeMessage(field);
        return failure;
    }
    const double pump1 = leadingNumber(f.Pump1Volume);
    const double pump2 = leadingNumber(f.Pump2Volume);
    if (pump1 + pump2 > kMaxPumpTotal) {
        failure.kind = ValidationFailure::PumpTotal;
        failure.field = pump2 > pump1 ? OptionField::Pump2Volume : OptionField::Pump1Volume;
        failure.message = kPumpTotalMessage;
    }
    return failure;
}

}  // namespace vantorix
