#include "analysis/AnalysisRows.h"

#include "analysis/AnalysisText.h"
#include "plate/PlateGeometry.h"

namespace vantorix {

namespace {

QString ruleText(const std::optional<double>& limit, const char* form) {
    return limit ? QString::fromUtf8(form).arg(plainNumber(*limit)) : QStringLiteral("off");
}

QString withSe(double value, const std::optional<double>& se) {
    return se ? QStringLiteral("%1 \u00b1 %2").arg(plainNumber(value), plainNumber(*se))
              : plainNumber(value);
}

}  // namespace

QStringList analysisColumnTitles() {
    return {QStringLiteral("Well"),  QStringLiteral("Role"),      QStringLiteral("Name"),
            QStringLiteral("Value"), QStringLiteral("Corrected"), QStringLiteral("Mean"),
            QStringLiteral("SD"),    QStringLiteral("CV %"),      QStringLiteral("Concentration"),
            QStringLiteral("Flag")};
}

QStringList analysisRowTexts(const WellResult& w) {
    return {wellName(w.well),
            roleKey(w.role),
            w.name,
            plainNumber(w.value),
            plainNumber(w.corrected),
            plainNumber(w.mean),
            plainNumber(w.sd),
            plainNumber(w.cv),
            plainNumber(w.concentration),
            w.flags.join(QStringLiteral("; "))};
}

QString verdictText(const DatasetAnalysis& a) {
    if (a.quality.pass) return QStringLiteral("PASS");
    return QStringLiteral("FAIL (%1)").arg(a.quality.failedRules.join(QStringLiteral("; ")));
}

std::vector<VerdictLine> verdictLines(const DatasetAnalysis& a, const AnalysisSettings& s) {
    std::vector<VerdictLine> lines;
    const auto add = [&lines](const QString& caption, const QString& text) {
        lines.push_back({caption, text});
    };
    if (!a.problem.isEmpty()) add(QStringLiteral("Problem:"), a.problem);
    if (a.curve && a.curve->ok) {
        add(QStringLiteral("Fit:"),
            QStringLiteral("%1, weighting %2")
                .arg(curveModelKey(a.curve->model), weightingKey(a.curve->weighting)));
        const QStringList names = parameterNames(a.curve->model);
        const auto& se = a.curve->standardErrors;
        for (qsizetype i = 0; i < names.size() && i < qsizetype(a.curve->parameters.size()); ++i)
            add(QStringLiteral("  %1:").arg(names[i]),
                withSe(a.curve->parameters[size_t(i)],
                       size_t(i) < se.size() ? se[size_t(i)] : std::nullopt));
        add(QStringLiteral("R\u00b2:"),
            QStringLiteral("%1   (rule: %2;  residual SD %3)")
                .arg(plainNumber(a.curve->r2), ruleText(s.rules.minR2, "\u2265 %1"),
                     plainNumber(a.curve->residualSd)));
        add(QStringLiteral("Range:"),
            QStringLiteral("LLOQ %1, ULOQ %2   (recovery %3-%4 %)")
                .arg(plainNumber(a.lloq), plainNumber(a.uloq), plainNumber(s.recoveryLow),
                     plainNumber(s.recoveryHigh)));
    } else if (a.curve) {
        add(QStringLiteral("Fit:"), a.curve->message);
    }
    add(QStringLiteral("Blank:"), QStringLiteral("mean %1, CV %2 %   (rule: %3)")
                                      .arg(plainNumber(a.blankMean), plainNumber(a.quality.blankCv),
                                           ruleText(s.rules.maxBlankCv, "\u2264 %1 %")));
    add(QStringLiteral("Controls:"),
        QStringLiteral("Z' %1   S/B %2   (rule: %3)")
            .arg(plainNumber(a.quality.zPrime), plainNumber(a.quality.signalToBackground),
                 ruleText(s.rules.minZPrime, "Z' \u2265 %1")));
    for (const QString& note : a.notes) add(QStringLiteral("Note:"), note);
    return lines;
}

}  // namespace vantorix
