#include "kernel/Text.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vantorix {

namespace {

// Length of the number at the start of text (after `start`), 0 when there is none.
qsizetype numberLength(QStringView text, qsizetype start) {
    qsizetype i = start;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) ++j;
        qsizetype expDigits = 0;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i - start;
}

qsizetype skipBlanks(QStringView text, qsizetype i) {
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    return i;
}

// printf-style %G text, rewritten to the program's exponent form (E+NN / E-NN).
QString significantText(double value, int digits) {
    if (value == 0) return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    QString text = QString::fromLatin1(buf);
    const qsizetype e = text.indexOf(u'E');
    if (e < 0) return text;
    QString mantissa = text.left(e);
    const QChar sign = text[e + 1];
    QString exponent = text.mid(e + 2);
    while (exponent.size() > 2 && exponent.startsWith(u'0')) exponent.remove(0, 1);
    return mantissa + u'E' + sign + exponent;
}

// The number numberLength found (ASCII only), as a finite double. Loading a file converts
// tens of thousands of them, and QString::toDouble's locale work made that ten times slower;
// the rare text it cannot take at once (very long, out of range) still goes through Qt.
bool finiteNumber(QStringView number, double& v) {
    char buf[64];
    if (number.size() < qsizetype(sizeof buf)) {
        qsizetype k = 0;
        for (const QChar c : number) buf[k++] = char(c.unicode());
        const char* first = buf[0] == '+' ? buf + 1 : buf;
        const auto [end, error] = std::from_chars(first, buf + k, v);
        if (error == std::errc() && end == buf + k) return std::isfinite(v);
    }
    bool ok = false;
    v = number.toString().toDouble(&ok);
    return ok && std::isfinite(v);
}

}  // namespace

double leadingNumber(QStringView text) {
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype len = numberLength(text, start);
    if (len == 0) return 0.0;
    double v = 0;
    return finiteNumber(text.mid(start, len), v) ? v : 0.0;
}

bool isNumeric(QStringView text) {
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype len = numberLength(text, start);
    if (len == 0) return false;
    if (skipBlanks(text, start + len) != text.size()) return false;
    const QStringView number = text.mid(start, len);
    // Without an exponent, fewer than 300 digits are always a finite double.
    if (len < 300 &&
        std::none_of(number.begin(), number.end(), [](QChar c) { return c == u'e' || c == u'E'; }))
        return true;
    double v = 0;
    return finiteNumber(number, v);
}

QString terminalText(QStringView text, bool keepLineBreaks) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != 0x7f && !(u >= 0x80 && u < 0xa0)) {
            out += c;
        } else if (u == u'\n') {
            out += keepLineBreaks ? QStringLiteral("\n") : QStringLiteral("\\n");
        } else if (u == u'\r') {
            out += QStringLiteral("\\r");
        } else if (u == u'\t') {
            out += QStringLiteral("\\t");
        } else {
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QChar(u'0'));
        }
    }
    return out;
}

QString formatFixed(double value, int minIntegerDigits, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString digits = QString::number(rounded, 'f', decimals);
    const qsizetype point = decimals > 0 ? digits.indexOf(u'.') : digits.size();
    if (point < minIntegerDigits) digits.prepend(QString(minIntegerDigits - point, u'0'));
    const bool negative = value < 0 && rounded != 0;
    return negative ? u'-' + digits : digits;
}

QString singleText(float value) {
    return significantText(static_cast<double>(value), 7);
}

QString doubleText(double value) {
    return significantText(value, 15);
}

QString ordinal(int n) {
    const int a = n < 0 ? -n : n;
    const int tens = a % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        switch (a % 10) {
            case 1:
                suffix = "st";
                break;
            case 2:
                suffix = "nd";
                break;
            case 3:
                suffix = "rd";
                break;
            default:
                break;
        }
    }
    return QString::number(n) + QLatin1String(suffix);
}

qint16 toInt16(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = std::round(value);
    if (r > std::numeric_limits<qint16>::max()) return std::numeric_limits<qint16>::max();
    if (r < std::numeric_limits<qint16>::min()) return std::numeric_limits<qint16>::min();
    return static_cast<qint16>(r);
}

QString headerDateTimeText(const QString& date, const QString& time) {
    const QDate d = QDate::fromString(date.trimmed(), QStringLiteral("M/d/yyyy"));
    const QTime t = QTime::fromString(time.trimmed(), QStringLiteral("h:mm:ss AP"));
    if (!d.isValid() || !t.isValid()) return QStringList{date, time}.join(u' ').trimmed();
    return QDateTime(d, t).toString(QLatin1String(kDateTimeSecondsForm));
}

}  // namespace vantorix
