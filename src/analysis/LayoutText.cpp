#include "analysis/LayoutText.h"

#include <QRegularExpression>
#include <cmath>

#include "plate/PlateGeometry.h"

namespace vantorix {

namespace {

QChar separatorOf(const QString& line) {
    if (line.contains(u'\t')) return u'\t';
    return line.count(u';') > line.count(u',') ? u';' : u',';
}

QStringList splitCells(QStringView line, QChar separator) {
    QStringList cells;
    QString cell;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
            cell += c, ++i;
        } else if (c == u'"' && (quoted || cell.trimmed().isEmpty())) {
            if (!quoted) cell.clear();
            quoted = !quoted, wasQuoted = true;
        } else if (c == separator && !quoted) {
            cells << (wasQuoted ? cell : cell.trimmed());
            cell.clear(), wasQuoted = false;
        } else if (!wasQuoted || quoted) {
            cell += c;
        }
    }
    cells << (wasQuoted ? cell : cell.trimmed());
    return cells;
}

}  // namespace

LayoutLines layoutLines(const QString& text) {
    QString body = text;
    if (body.startsWith(QChar(0xFEFF))) body.remove(0, 1);
    const QStringList raw = body.split(u'\n');
    LayoutLines lines;
    std::optional<QChar> separator;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QString line = raw[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().isEmpty()) continue;
        if (!separator) separator = separatorOf(line);
        QStringList cells = splitCells(line, *separator);
        if (std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.isEmpty(); }))
            continue;
        lines.push_back({int(i) + 1, cells});
    }
    return lines;
}

std::optional<double> positiveNumber(const QString& cell) {
    QString t = cell.trimmed();
    // Spreadsheets in many languages write 2,5 for 2.5.
    if (!t.contains(u'.') && t.count(u',') == 1) t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

QString onLine(int line, const QString& message) {
    return QStringLiteral("line %1: %2").arg(line).arg(message);
}

QString headingField(const QString& cell, QString& unit) {
    static const QRegularExpression withUnit(QStringLiteral(R"(^concentration\s*\((.*)\)$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = withUnit.match(cell);
    if (!m.hasMatch()) return cell.toLower();
    unit = m.captured(1).trimmed();
    return QStringLiteral("concentration");
}

QString setLayoutField(WellAssignment& w, const QString& field, const QString& cell, int well) {
    const QString name = wellName(well);
    if (field == u"role") {
        const auto role = roleFromKey(cell);
        if (!role)
            return QStringLiteral(
                       "%1: unknown role '%2' (blank, standard, positive, negative, "
                       "sample or empty)")
                .arg(name, cell);
        w.role = *role;
    } else if (field == u"name") {
        w.name = cell;
    } else if (field == u"concentration" || field == u"dilution") {
        if (cell.isEmpty()) return {};
        const auto v = positiveNumber(cell);
        if (!v)
            return QStringLiteral("%1: %2 '%3' is not a positive number").arg(name, field, cell);
        if (field == u"dilution")
            w.dilution = *v;
        else
            w.concentration = *v;
    } else if (field == u"excluded") {
        w.excluded = !cell.isEmpty();
        w.exclusionReason = cell;
    }
    return {};
}

QString layoutProblem(const WellLayout& layout) {
    for (int well = 0; well < kWellCount; ++well) {
        const WellAssignment& w = layout.wells[size_t(well)];
        if (w.role == WellRole::Standard && !w.concentration)
            return QStringLiteral("%1: a standard needs a concentration").arg(wellName(well));
        if (w.role != WellRole::Standard && w.concentration)
            return QStringLiteral("%1: only standards have a concentration (this well is %2)")
                .arg(wellName(well), roleKey(w.role));
    }
    return {};
}

}  // namespace vantorix
