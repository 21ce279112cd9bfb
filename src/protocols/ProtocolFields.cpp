#include "protocols/ProtocolFields.h"

#include <charconv>

namespace vantorix::protocol {

namespace {

constexpr std::array<std::pair<WellRole, char>, 6> kMarks{{
    {WellRole::Empty, '.'},
    {WellRole::Blank, 'B'},
    {WellRole::Standard, 'S'},
    {WellRole::Positive, 'P'},
    {WellRole::Negative, 'N'},
    {WellRole::Sample, 'U'},
}};

// Each cell of a map takes three columns, so the marks stand under the column numbers.
QString cell(const QString& text) {
    return text.rightJustified(3);
}

}  // namespace

QChar roleMark(WellRole role) {
    for (const auto& [r, mark] : kMarks)
        if (r == role) return QLatin1Char(mark);
    return QLatin1Char('.');
}

std::optional<WellRole> roleOfMark(QStringView mark) {
    for (const auto& [role, m] : kMarks)
        if (mark.size() == 1 && mark[0] == QLatin1Char(m)) return role;
    return std::nullopt;
}

QString numberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString mapHeader() {
    QString line = QStringLiteral(" ");
    for (int c = 1; c <= kPlateColumns; ++c) line += cell(QString::number(c));
    return line;
}

QString mapRow(int row, const std::array<QString, kPlateColumns>& marks) {
    QString line = QChar(u'A' + row);
    for (const QString& mark : marks) line += cell(mark);
    return line;
}

}  // namespace vantorix::protocol
