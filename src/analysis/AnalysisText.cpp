#include "analysis/AnalysisText.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace vantorix {

namespace {

// A number of 6 significant digits that %g would give with an exponent, written out in full.
QString longPlainNumber(double v) {
    const int exponent = int(std::floor(std::log10(std::abs(v))));
    QString text = QString::number(v, 'f', std::max(0, 5 - exponent));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) text.chop(1);
        if (text.endsWith(u'.')) text.chop(1);
    }
    return text;
}

QString joinedFlags(const QStringList& flags) {
    return flags.join(QStringLiteral("; "));
}

// Appends the plain form of a number (see plainNumber) without a string of its own.
void appendNumber(QString& out, std::optional<double> value) {
    if (!value || !std::isfinite(*value)) {
        out += u'-';
        return;
    }
    // Six significant digits without trailing zeros: what %g gives short of its exponents.
    // (std::to_chars: a results table formats hundreds of thousands of these.)
    char buffer[32];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::general, 6).ptr;
    const std::string_view text(buffer, size_t(end - buffer));
    if (*value == 0)
        out += u'0';  // -0 too
    else if (text.find('e') == std::string_view::npos)
        out += QLatin1StringView(text);
    else
        out += longPlainNumber(QByteArrayView(text).toDouble());
}

void appendCsvRow(QString& text, const DatasetAnalysis& a, const WellResult& w) {
    text += QString::number(a.set);
    text += u',';
    text += wellName(w.well);
    text += u',';
    text += roleKey(w.role);
    text += u',';
    text += csvCell(w.name);
    for (const std::optional<double>& v :
         {w.value, w.corrected, w.mean, w.sd, w.cv, w.concentration, w.recovery}) {
        text += u',';
        appendNumber(text, v);
    }
    text += u',';
    text += csvCell(joinedFlags(w.flags));
    text += u'\n';
}

}  // namespace

QString plainNumber(std::optional<double> value) {
    QString text;
    appendNumber(text, value);
    return text;
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
    qsizetype rows = 0;
    for (const DatasetAnalysis& a : analyses) rows += qsizetype(a.wells.size());
    text.reserve(text.size() + rows * 80);
    for (const DatasetAnalysis& a : analyses)
        for (const WellResult& w : a.wells) appendCsvRow(text, a, w);
    return text;
}

}  // namespace vantorix
