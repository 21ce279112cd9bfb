#include "protocols/ProtocolText.h"

#include "options/WellSelection.h"
#include "protocols/ProtocolFields.h"

namespace vantorix {

namespace {

using namespace protocol;

QString entry(const char* key, const QString& value) {
    const QString k = QLatin1String(key);
    return value.isEmpty() ? k + QStringLiteral(" =\n") : k + QStringLiteral(" = ") + value + u'\n';
}

// Names and reasons stay on their line, without blanks at either end (read back trimmed).
QString oneLine(const QString& text) {
    return text.simplified();
}

QString optionsText(const RunOptions& o) {
    QString t = entry("runs", o.RepeatMode ? QStringLiteral("repeated") : QStringLiteral("single"));
    const OptionsFields fields = fieldsFromOptions(o);
    for (const NumberKey& k : kNumberKeys) t += entry(k.key, fields.text(k.field));
    t += entry("reaction",
               o.Reaction == kReactionFlash ? QStringLiteral("flash") : QStringLiteral("glow"));
    return t + entry("sensitive", o.Sensitive != 0 ? QStringLiteral("on") : QStringLiteral("off"));
}

QString limitText(std::optional<double> limit) {
    return limit ? numberText(*limit) : QStringLiteral("off");
}

QString analysisText(const AnalysisSettings& a) {
    QString t = entry("model", curveModelKey(a.model));
    t += entry("weighting", weightingKey(a.weighting));
    t += entry("cv-limit", numberText(a.cvThreshold));
    t += entry("recovery-low", numberText(a.recoveryLow));
    t += entry("recovery-high", numberText(a.recoveryHigh));
    t += entry("max-blank-cv", limitText(a.rules.maxBlankCv));
    t += entry("min-r2", limitText(a.rules.minR2));
    return t + entry("min-zprime", limitText(a.rules.minZPrime));
}

QString wellsMap(const WellMatrix& wells) {
    QString t = QStringLiteral("# Wells read: x is read, . is left out.\nwells =\n");
    t += mapHeader() + u'\n';
    for (int r = 0; r < kPlateRows; ++r) {
        std::array<QString, kPlateColumns> marks;
        for (int c = 0; c < kPlateColumns; ++c)
            marks[c] = wells[r][c] ? QStringLiteral("x") : QStringLiteral(".");
        t += mapRow(r, marks) + u'\n';
    }
    return t;
}

QString layoutMap(const WellLayout& layout) {
    QString t = QStringLiteral(
        "# Layout: . empty, B blank, S standard, P positive control, N negative control, "
        "U sample.\nlayout =\n");
    t += mapHeader() + u'\n';
    for (int r = 0; r < kPlateRows; ++r) {
        std::array<QString, kPlateColumns> marks;
        for (int c = 0; c < kPlateColumns; ++c)
            marks[c] = roleMark(layout.wells[WellIndex(r, c)].role);
        t += mapRow(r, marks) + u'\n';
    }
    return t;
}

QString wellDetails(const WellLayout& layout) {
    QString t;
    for (int i = 0; i < kWellCount; ++i) {
        const WellAssignment& w = layout.wells[i];
        if (w.role == WellRole::Empty) continue;
        const QString well = wellName(i / kPlateColumns, i % kPlateColumns);
        auto add = [&](const char* detail, const QString& value) {
            t += entry((well + u'.' + QLatin1String(detail)).toLatin1().constData(), value);
        };
        if (!oneLine(w.name).isEmpty()) add("name", oneLine(w.name));
        if (w.concentration) add("concentration", numberText(*w.concentration));
        if (w.dilution != 1) add("dilution", numberText(w.dilution));
        if (w.excluded) add("excluded", oneLine(w.exclusionReason));
    }
    return t;
}

}  // namespace

QString protocolText(const AssayProtocol& p) {
    QString t = QStringLiteral(
        "# Vantorix assay protocol: one \"key = value\" a line; lines starting with # are "
        "comments.\n");
    t += kProtocolFormatLine + u'\n';
    t += entry("name", p.name);
    t += optionsText(p.options);
    t += analysisText(p.analysis);
    t += wellsMap(p.options.SelectedWells);
    t += layoutMap(p.layout);
    if (!oneLine(p.layout.concentrationUnit).isEmpty())
        t += entry("concentration-unit", oneLine(p.layout.concentrationUnit));
    return t + wellDetails(p.layout);
}

}  // namespace vantorix
