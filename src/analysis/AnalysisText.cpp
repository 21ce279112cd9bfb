#include "analysis/AnalysisText.h"

#include <cmath>

namespace vantorix {

namespace {

QString joinedFlags(const QStringList& flags) {
    return flags.join(QStringLiteral("; "));
}

QString csvRow(const DatasetAnalysis& a, const WellResult& w) {
    const QStringList cells{QString::number(a.set),  wellName(w.well),
                            roleKey(w.role),         csvCell(w.name),
                            plainNumber(w.value),    plainNumber(w.corrected),
                            plainNumber(w.mean),     plainNumber(w.sd),
                            plainNumber(w.cv),       plainNumber(w.concentration),
                            plainNumber(w.recovery), csvCell(joinedFlags(w.flags))};
    return cells.join(u',') + u'\n';
}

}  // namespace

QString plainNumber(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return QStringLiteral("-");
    double v = *value;
    if (v == 0) return QStringLiteral("0");
    // Rounded to 6 significant digits first: the rounding may carry into a new digit.
    int exponent = int(std::floor(std::log10(std::abs(v))));
    const double unit = std::pow(10.0, exponent - 5);
    v = std::round(v / unit) * unit;
    exponent = int(std::floor(std::log10(std::abs(v))));
    QString text = QString::number(v, 'f', std::max(0, 5 - exponent));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) text.chop(1);
        if (text.endsWith(u'.')) text.chop(1);
    }
    return text == u"-0" ? QStringLiteral("0") : text;
}

QString csvCell(const QString& text) {
    QString cell = text;
    cell.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!cell.contains(u',') && !cell.contains(u'"') && !cell.contains(u'\t') &&
        cell == cell.trimmed())
        return cell;
    cell.replace(u'"', QStringLiteral("\"\""));
    return u'"' + cell + u'"';
}

QString analysisSummaryLine(const DatasetAnalysis& a, CurveModel model) {
    const bool fitted = a.curve && a.curve->ok;
    QString line = QStringLiteral("Set %1: fit=%2")
                       .arg(a.set)
                       .arg(fitted ? curveModelKey(model) : QStringLiteral("-"));
    const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                            QStringLiteral("d"), QStringLiteral("g")};
    for (qsizetype i = 0; i < names.size(); ++i) {
        std::optional<double> p;
        if (fitted && size_t(i) < a.curve->parameters.size()) p = a.curve->parameters[size_t(i)];
        line += u' ' + names[i] + u'=' + plainNumber(p);
    }
    line += QStringLiteral(" r2=") + plainNumber(fitted ? a.curve->r2 : std::nullopt);
    line += QStringLiteral(" lloq=") + plainNumber(a.lloq) + QStringLiteral(" uloq=") +
            plainNumber(a.uloq);
    line += QStringLiteral(" zprime=") + plainNumber(a.quality.zPrime) + QStringLiteral(" sb=") +
            plainNumber(a.quality.signalToBackground);
    line += a.quality.pass ? QStringLiteral(" qc=PASS")
                           : QStringLiteral(" qc=FAIL (") +
                                 a.quality.failedRules.join(QStringLiteral("; ")) + u')';
    return line;
}

QString analysisCsvText(const std::vector<DatasetAnalysis>& analyses) {
    QString text = QString::fromLatin1(kAnalysisCsvHeader) + u'\n';
    for (const DatasetAnalysis& a : analyses)
        for (const WellResult& w : a.wells) text += csvRow(a, w);
    return text;
}

}  // namespace vantorix
