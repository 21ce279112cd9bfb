// Reading a protocol's text form (ProtocolText.h): line by line, each value checked where it
// stands, the run options together at the end by the options dialog's rules.
#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "kernel/Text.h"
#include "options/WellSelection.h"
#include "protocols/ProtocolFields.h"
#include "protocols/ProtocolText.h"

namespace vantorix {

namespace {

using namespace protocol;

const char* const kRequired[] = {
    "name",          "runs",         "repeats", "delay",      "pre-inject", "post-inject",
    "pump1",         "pump2",        "prime1",  "prime2",     "dwell",      "inject-delay",
    "reaction",      "sensitive",    "model",   "weighting",  "cv-limit",   "recovery-low",
    "recovery-high", "max-blank-cv", "min-r2",  "min-zprime", "wells",      "layout"};

const char* const kAnalysisKeys[] = {"model",         "weighting",    "cv-limit", "recovery-low",
                                     "recovery-high", "max-blank-cv", "min-r2",   "min-zprime"};

// A number in (low, high], or in (low, infinity) when high is not given.
std::optional<double> numberAbove(const QString& text, double low,
                                  std::optional<double> high = std::nullopt) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= low || (high && v > *high)) return std::nullopt;
    return v;
}

class Reader {
  public:
    explicit Reader(const QString& text) : lines_(text.split(u'\n')) {
        for (QString& line : lines_)
            if (line.endsWith(u'\r')) line.chop(1);
    }
    QString read(AssayProtocol& out);

  private:
    using Grid = std::array<std::array<QString, kPlateColumns>, kPlateRows>;
    QString at(int index, const QString& message) const {
        return QStringLiteral("line %1: %2").arg(index + 1).arg(message);
    }
    QString entry(const QString& key, const QString& value);
    QString option(const QString& key, const QString& value);
    QString analysis(const QString& key, const QString& value);
    QString map(const QString& key, const QString& value);
    QString readGrid(const QString& what, const QString& marks, Grid& grid);
    QString detail(const QString& key, const QString& value);
    QString finishOptions();

    QStringList lines_;
    int i_ = 0;  // the line being read
    AssayProtocol p_;
    OptionsFields fields_;
    std::map<OptionField, int> fieldLine_;
    std::map<QString, int> seen_;
    bool repeated_ = false;
};

QString Reader::read(AssayProtocol& out) {
    bool formatSeen = false;
    for (; i_ < lines_.size(); ++i_) {
        const QString line = lines_[i_].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (!formatSeen) {
            if (QString(line).remove(u' ') != QString(kProtocolFormatLine).remove(u' '))
                return at(i_,
                          QStringLiteral("a protocol starts with '%1'").arg(kProtocolFormatLine));
            formatSeen = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) return at(i_, QStringLiteral("'%1' is no 'key = value' line").arg(line));
        const QString key = line.left(eq).trimmed();
        if (auto it = seen_.find(key); it != seen_.end())
            return at(i_, QStringLiteral("'%1' is given twice (first on line %2)")
                              .arg(key)
                              .arg(it->second + 1));
        seen_[key] = i_;
        if (QString error = entry(key, line.mid(eq + 1).trimmed()); !error.isEmpty()) return error;
    }
    if (!formatSeen)
        return QStringLiteral("a protocol starts with '%1'; this text has no such line")
            .arg(kProtocolFormatLine);
    for (const char* key : kRequired)
        if (!seen_.count(QLatin1String(key)))
            return QStringLiteral("the protocol has no '%1' line").arg(QLatin1String(key));
    if (QString error = finishOptions(); !error.isEmpty()) return error;
    if (p_.analysis.recoveryLow >= p_.analysis.recoveryHigh)
        return at(seen_[QStringLiteral("recovery-low")],
                  QStringLiteral("recovery-low must be below recovery-high"));
    out = p_;
    return {};
}

QString Reader::entry(const QString& key, const QString& value) {
    if (key == u"name") {
        const QString problem = protocolNameProblem(value);
        p_.name = value;
        return problem.isEmpty() ? QString() : at(i_, problem);
    }
    for (const char* analysisKey : kAnalysisKeys)
        if (key == QLatin1String(analysisKey)) return analysis(key, value);
    if (key == u"wells" || key == u"layout") return map(key, value);
    if (key == u"concentration-unit") {
        p_.layout.concentrationUnit = value;
        return {};
    }
    if (key.contains(u'.')) return detail(key, value);
    return option(key, value);
}

QString Reader::option(const QString& key, const QString& value) {
    for (const NumberKey& k : kNumberKeys) {
        if (key != QLatin1String(k.key)) continue;
        fields_.text(k.field) = value;
        fieldLine_[k.field] = i_;
        return {};
    }
    auto choice = [&](const char* a, const char* b, auto apply) {
        if (value != QLatin1String(a) && value != QLatin1String(b))
            return at(i_, QStringLiteral("%1 takes %2 or %3, not '%4'").arg(key, a, b, value));
        apply(value == QLatin1String(a));
        return QString();
    };
    if (key == u"runs") return choice("single", "repeated", [&](bool one) { repeated_ = !one; });
    if (key == u"reaction")
        return choice("glow", "flash", [&](bool glow) {
            p_.options.Reaction = glow ? kReactionGlow : kReactionFlash;
        });
    if (key == u"sensitive")
        return choice("on", "off", [&](bool on) { p_.options.Sensitive = on ? 1 : 0; });
    return at(i_, QStringLiteral("unknown key '%1'").arg(key));
}

QString Reader::analysis(const QString& key, const QString& value) {
    AnalysisSettings& a = p_.analysis;
    auto bad = [&](const char* accepted) {
        return at(i_, QStringLiteral("%1 takes %2, not '%3'").arg(key, accepted, value));
    };
    if (key == u"model") {
        const auto model = curveModelFromKey(value);
        if (!model) return bad("linear, loglog, 4pl or 5pl");
        a.model = *model;
    } else if (key == u"weighting") {
        const auto weighting = weightingFromKey(value);
        if (!weighting) return bad("none, 1/y or 1/y2");
        a.weighting = *weighting;
    } else if (key == u"cv-limit" || key == u"recovery-low" || key == u"recovery-high") {
        const auto v = numberAbove(value, 0);
        if (!v) return bad("a number above 0");
        (key == u"cv-limit"       ? a.cvThreshold
         : key == u"recovery-low" ? a.recoveryLow
                                  : a.recoveryHigh) = *v;
    } else {
        // The acceptance rules: a limit, or off.
        const bool r2 = key == u"min-r2", zPrime = key == u"min-zprime";
        const auto v = numberAbove(value, zPrime ? -1e300 : 0,
                                   r2 || zPrime ? std::optional<double>(1) : std::nullopt);
        if (!v && value != u"off")
            return bad(r2       ? "a number above 0 up to 1, or off"
                       : zPrime ? "a number up to 1, or off"
                                : "a number above 0, or off");
        (r2 ? a.rules.minR2 : zPrime ? a.rules.minZPrime : a.rules.maxBlankCv) = v;
    }
    return {};
}

QString Reader::map(const QString& key, const QString& value) {
    if (!value.isEmpty())
        return at(i_, QStringLiteral("the %1 map starts on the line after '%1 ='").arg(key));
    Grid grid;
    const bool wells = key == u"wells";
    if (QString error =
            readGrid(key, wells ? QStringLiteral("x .") : QStringLiteral(". B S P N U"), grid);
        !error.isEmpty())
        return error;
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c) {
            if (wells)
                p_.options.SelectedWells[r][c] = grid[r][c] == u"x";
            else
                p_.layout.wells[WellIndex(r, c)].role = *roleOfMark(grid[r][c]);
        }
    return {};
}

QString Reader::readGrid(const QString& what, const QString& marks, Grid& grid) {
    const QStringList allowed = marks.split(u' ');
    const QString shown = allowed.mid(0, allowed.size() - 1).join(QStringLiteral(", ")) +
                          QStringLiteral(" or ") + allowed.last();
    if (++i_ >= lines_.size() || lines_[i_].simplified() != mapHeader().simplified())
        return at(std::min<int>(i_, int(lines_.size()) - 1),
                  QStringLiteral("the %1 map begins with the column numbers 1 to 12").arg(what));
    for (int r = 0; r < kPlateRows; ++r) {
        const QString letter = QChar(u'A' + r);
        const QString problem = QStringLiteral("row %1 of the %2 map must read %1 and 12 of %3")
                                    .arg(letter, what, shown);
        if (++i_ >= lines_.size()) return at(int(lines_.size()) - 1, problem);
        const QStringList cells = lines_[i_].simplified().split(u' ');
        if (cells.size() != kPlateColumns + 1 || cells[0] != letter) return at(i_, problem);
        for (int c = 0; c < kPlateColumns; ++c) {
            if (!allowed.contains(cells[c + 1])) return at(i_, problem);
            grid[r][c] = cells[c + 1];
        }
    }
    return {};
}

QString Reader::detail(const QString& key, const QString& value) {
    const QString wellText = key.section(u'.', 0, 0);
    const QString what = key.section(u'.', 1);
    WellMatrix one{};
    if (wellText.contains(u',') || wellText.contains(u'-') || !parseWellList(wellText, one) ||
        selectedCount(one) != 1)
        return at(i_, QStringLiteral("'%1' is no well (A1 to H12)").arg(wellText));
    if (!seen_.count(QStringLiteral("layout")))
        return at(i_, QStringLiteral("well details come after the layout map"));
    int index = 0;
    while (!one[index / kPlateColumns][index % kPlateColumns]) ++index;
    WellAssignment& w = p_.layout.wells[index];
    if (w.role == WellRole::Empty)
        return at(
            i_,
            QStringLiteral("%1 is empty in the layout map, so it takes no details").arg(wellText));
    auto positive = [&](double& number) {
        bool ok = false;
        number = value.toDouble(&ok);
        return ok && std::isfinite(number) && number > 0
                   ? QString()
                   : at(i_, QStringLiteral("%1 takes a number above 0, not '%2'").arg(what, value));
    };
    double number = 0;
    if (what == u"name") {
        w.name = value;
    } else if (what == u"excluded") {
        w.excluded = true;
        w.exclusionReason = value;
    } else if (what == u"dilution") {
        if (QString error = positive(number); !error.isEmpty()) return error;
        w.dilution = number;
    } else if (what == u"concentration") {
        if (w.role != WellRole::Standard)
            return at(i_, QStringLiteral("only standards take a concentration; %1 is a %2")
                              .arg(wellText, roleKey(w.role)));
        if (QString error = positive(number); !error.isEmpty()) return error;
        w.concentration = number;
    } else {
        return at(i_, QStringLiteral("unknown well detail '%1' (name, concentration, dilution, "
                                     "excluded)")
                          .arg(what));
    }
    return {};
}

QString Reader::finishOptions() {
    fields_.singleRun = !repeated_;
    fields_.repeatsEnabled = fields_.delayEnabled = true;
    const ValidationFailure failure = validateOptions(fields_);
    const int line = fieldLine_[failure.field];
    switch (failure.kind) {
        case ValidationFailure::None:
            break;
        case ValidationFailure::RepeatCount:
            return at(line, QStringLiteral("repeated runs need a 'Number of Runs' from 2 to 255"));
        case ValidationFailure::Field:
        case ValidationFailure::PumpTotal:
            return at(line, failure.message);
    }
    for (const NumberKey& k : kNumberKeys)
        p_.options.*k.member = toInt16(leadingNumber(fields_.text(k.field)));
    p_.options.RepeatMode = repeated_;
    return {};
}

}  // namespace

QString readProtocolText(const QString& text, AssayProtocol& protocol) {
    return Reader(text).read(protocol);
}

}  // namespace vantorix
