#include "plate/ReadingText.h"

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
    return value ? doubleText(*value) : QStringLiteral("-1");
}

}  // namespace vantorix
