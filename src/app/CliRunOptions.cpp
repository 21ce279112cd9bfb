#include "app/CliRunOptions.h"

#include <map>

#include "kernel/Text.h"
#include "options/OptionsValidation.h"
#include "options/WellSelection.h"

namespace vantorix::cli {

const char* const kRunOptionsUsage =
    "      [--wells LIST] [--repeats N] [--delay S] [--sensitive] [--retry N] [--keep-partial]\n"
    "      [--force] (replace an existing FILE)\n"
    "      [--reaction glow|flash] [--pump1 V] [--pump2 V] [--prime1 N] [--prime2 N]\n"
    "      [--pre-inject N] [--post-inject N] [--dwell N] [--inject-delay MS]\n";

namespace {

// Options that set a numeric field of the dialog, checked by the dialog's rules.
const std::map<QString, OptionField>& numericOptions() {
    static const std::map<QString, OptionField> table{
        {"--repeats", OptionField::Repeats},       {"--delay", OptionField::Delay},
        {"--pump1", OptionField::Pump1Volume},     {"--pump2", OptionField::Pump2Volume},
        {"--prime1", OptionField::Prime1},         {"--prime2", OptionField::Prime2},
        {"--pre-inject", OptionField::Presamples}, {"--post-inject", OptionField::Postsamples},
        {"--dwell", OptionField::Dwell},           {"--inject-delay", OptionField::PostInjectDelay},
    };
    return table;
}

QString optionFor(OptionField field) {
    for (const auto& [name, f] : numericOptions())
        if (f == field) return name;
    return {};
}

QString rangeError(const QString& option, const QString& value, int min, int max) {
    return QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
        .arg(option)
        .arg(min)
        .arg(max)
        .arg(value);
}

bool wholeNumberIn(const QString& text, int min, int max) {
    if (!isNumeric(text)) return false;
    const double v = leadingNumber(text);
    return v >= min && v <= max && v == static_cast<qint64>(v);
}

// Checks the fields as the dialog's OK does and copies them into the record.
QString applyFields(OptionsFields& fields, RunOptions& o) {
    // The command line has no single/multiple switch: a repeat count of 1 is a single run.
    fields.singleRun = true;
    const ValidationFailure failure = validateOptions(fields);
    if (failure.kind == ValidationFailure::Field)
        return rangeError(optionFor(failure.field), fields.text(failure.field), failure.limits.min,
                          failure.limits.max);
    if (failure.kind == ValidationFailure::PumpTotal)
        return QStringLiteral("--pump1 + --pump2 must not exceed %1 (now %2 + %3)")
            .arg(kMaxPumpTotal)
            .arg(fields.Pump1Volume, fields.Pump2Volume);
    for (const auto& [name, field] : numericOptions()) {
        if (!fields.repeatsEnabled && field == OptionField::Repeats) continue;
        if (!fields.delayEnabled && field == OptionField::Delay) continue;
        const qint16 v = toInt16(leadingNumber(fields.text(field)));
        switch (field) {
            case OptionField::Presamples:
                o.Presamples = v;
                break;
            case OptionField::Postsamples:
                o.Postsamples = v;
                break;
            case OptionField::Pump1Volume:
                o.Pump1Volume = v;
                break;
            case OptionField::Pump2Volume:
                o.Pump2Volume = v;
                break;
            case OptionField::Dwell:
                o.Dwell = v;
                break;
            case OptionField::PostInjectDelay:
                o.PostInjectDelay = v;
                break;
            case OptionField::Prime1:
                o.Prime1 = v;
                break;
            case OptionField::Prime2:
                o.Prime2 = v;
                break;
            case OptionField::Repeats:
                o.Repeats = v;
                o.RepeatMode = v > 1;
                break;
            case OptionField::Delay:
                o.Delay = v;
                break;
        }
    }
    return {};
}

// One "--name value" pair that is not a dialog field. Empty text when good.
QString takeOther(const QString& k, const QString& v, RunArgs& a) {
    const std::map<QString, QString*> texts{
        {"--port", &a.port}, {"--out", &a.out},     {"--operator", &a.operatorName},
        {"--test", &a.test}, {"--plate", &a.plate}, {"--notes", &a.notes}};
    if (auto it = texts.find(k); it != texts.end()) {
        *it->second = v;
        return {};
    }
    if (k == u"--wells") {
        if (v.trimmed().isEmpty())
            return QStringLiteral("--wells needs at least one well, e.g. A1-H12 or A1,B2");
        QString error;
        return parseWellList(v, a.options.SelectedWells, &error) ? QString() : error;
    }
    if (k == u"--retry") {
        if (!wholeNumberIn(v, 0, kMaxRetries)) return rangeError(k, v, 0, kMaxRetries);
        a.retry = static_cast<int>(leadingNumber(v));
        return {};
    }
    if (k == u"--reaction") {
        if (v == u"glow" || v == u"1")
            a.options.Reaction = kReactionGlow;
        else if (v == u"flash" || v == u"2")
            a.options.Reaction = kReactionFlash;
        else
            return QStringLiteral("--reaction takes glow or flash, not '%1'").arg(v);
        return {};
    }
    return QStringLiteral("unknown option %1").arg(k);
}

}  // namespace

QString parseRunArgs(const QStringList& args, const RunOptions& stored, RunArgs& a) {
    a.options = stored;
    OptionsFields fields = fieldsFromOptions(stored);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& k = args[i];
        if (k == u"--sensitive") {
            a.options.Sensitive = 1;
            continue;
        }
        if (k == u"--keep-partial") {
            a.keepPartial = true;
            continue;
        }
        if (k == u"--force") {
            a.force = true;
            continue;
        }
        if (i + 1 >= args.size()) return QStringLiteral("%1 needs a value").arg(k);
        const QString& v = args[++i];
        if (auto it = numericOptions().find(k); it != numericOptions().end()) {
            fields.text(it->second) = v;
            if (it->second == OptionField::Repeats) fields.repeatsEnabled = true;
            if (it->second == OptionField::Delay) fields.delayEnabled = true;
            continue;
        }
        if (QString error = takeOther(k, v, a); !error.isEmpty()) return error;
    }
    if (a.port.isEmpty() || a.out.isEmpty()) return QStringLiteral("--port and --out are required");
    return applyFields(fields, a.options);
}

}  // namespace vantorix::cli
