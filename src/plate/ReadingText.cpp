#include "plate/ReadingText.h"

#include <cmath>

#include "kernel/Text.h"

namespace vantorix {

std::optional<double> readingFromText(QStringView text) {
    if (!isNumeric(text)) return std::nullopt;
    const double v = leadingNumber(text);
    return v >= 0 ? std::optional<double>(v) : std::nullopt;
}

std::optional<double> secondsFromText(QStringView text) {
    const double v = leadingNumber(text);
    return v >= 0 ? std::optional<double>(v) : std::nullopt;
}

QString readingToText(std::optional<double> value) {
    if (!value) return QStringLiteral("-1");
    // Readings and times are whole numbers as a rule: the digits doubleText gives them, without
    // going through printf, which made writing a 255-set file four times slower.
    if (*value >= 0 && *value < 1e15 && *value == std::floor(*value))
        return QString::number(qint64(*value));
    return doubleText(*value);
}

}  // namespace vantorix
