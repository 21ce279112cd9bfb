#include "results/SetStatistics.h"

#include <cmath>

#include "kernel/Text.h"
#include "plate/PlateDocument.h"

namespace vantorix {

namespace {
double shownValue(double raw) {
    return std::max(raw - kDarkOffset, 0.0);
}
}  // namespace

SetStatistics setStatistics(const PlateDocument& readings, int set) {
    SetStatistics st;
    double sum = 0;
    for (int r = 1; r <= kPlateRows; ++r) {
        for (int c = 1; c <= kPlateColumns; ++c) {
            const double raw = readings.reading(set, r, c).raw.value_or(-1);
            if (raw < 0) continue;
            if (raw > kSaturationLimit) {
                ++st.saturated;
                continue;
            }
            if (st.n == 0 || raw < st.minRaw) st.minRaw = raw;
            if (st.n == 0 || raw > st.maxRaw) st.maxRaw = raw;
            sum += shownValue(raw);
            ++st.n;
        }
    }
    if (st.n == 0) return st;
    st.min = shownValue(st.minRaw);
    st.max = shownValue(st.maxRaw);
    st.mean = sum / st.n;
    if (st.n < 2) return st;
    // Second pass about the mean: no cancellation for readings near a million.
    double squares = 0;
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c) {
            const double raw = readings.reading(set, r, c).raw.value_or(-1);
            if (raw < 0 || raw > kSaturationLimit) continue;
            const double d = shownValue(raw) - st.mean;
            squares += d * d;
        }
    st.sd = std::sqrt(squares / (st.n - 1));
    return st;
}

QString plainReadingText(double rawValue) {
    const double corrected = rawValue - kDarkOffset;
    return corrected >= 0 ? formatFixed(corrected, 1, 1) : QStringLiteral("0");
}

QString significantText(double value, int digits) {
    if (value == 0 || !std::isfinite(value)) return QStringLiteral("0");
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = digits - 1 - magnitude;
    if (decimals >= 0) {
        QString text = QString::number(value, 'f', decimals);
        // Rounding may carry into a new digit (9.9996 -> "10.000"): one decimal fewer.
        const double rounded = text.toDouble();
        if (decimals > 0 && std::fabs(rounded) >= std::pow(10.0, magnitude + 1))
            text = QString::number(value, 'f', decimals - 1);
        return text;
    }
    const double scale = std::pow(10.0, -decimals);
    return QString::number(std::round(value / scale) * scale, 'f', 0);
}

QString statisticsText(const SetStatistics& st) {
    const QString none = QStringLiteral("-");
    const bool any = st.n > 0;
    // An undefined coefficient of variation is "-", never "-%".
    return QStringLiteral("n=%1 sat=%2 min=%3 max=%4 mean=%5 sd=%6 cv=%7")
        .arg(st.n)
        .arg(st.saturated)
        .arg(any ? plainReadingText(st.minRaw) : none, any ? plainReadingText(st.maxRaw) : none,
             any ? significantText(st.mean) : none, st.hasSd() ? significantText(st.sd) : none,
             st.hasCv() ? significantText(st.cvPercent()) + u'%' : none);
}

}  // namespace vantorix
