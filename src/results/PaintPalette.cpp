#include "results/PaintPalette.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantorix {

namespace {

constexpr int kSteps = 256;
constexpr double kPi = 3.14159265358979323846;

struct Linear {
    double r, g, b;
};

Linear oklabToLinear(double L, double a, double b) {
    const double l = std::pow(L + 0.3963377774 * a + 0.2158037573 * b, 3);
    const double m = std::pow(L - 0.1055613458 * a - 0.0638541728 * b, 3);
    const double s = std::pow(L - 0.0894841775 * a - 1.2914855480 * b, 3);
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

bool inGamut(const Linear& c) {
    constexpr double e = 1e-9;
    return c.r >= -e && c.r <= 1 + e && c.g >= -e && c.g <= 1 + e && c.b >= -e && c.b <= 1 + e;
}

double encode(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

double decode(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// Lightness rises linearly; the hue turns from blue-violet through teal and green to yellow;
// where the screen cannot show the wanted chroma it is reduced, never the lightness.
QColor rampColour(double t) {
    const double L = 0.28 + 0.68 * t;
    const double hue = (285.0 - 185.0 * t) * kPi / 180.0;
    const auto at = [&](double chroma) {
        return oklabToLinear(L, chroma * std::cos(hue), chroma * std::sin(hue));
    };
    const double wanted = 0.11 + 0.06 * t;
    Linear c = at(wanted);
    if (!inGamut(c)) {
        double lo = 0, hi = wanted;
        for (int i = 0; i < 30; ++i) (inGamut(at((lo + hi) / 2)) ? lo : hi) = (lo + hi) / 2;
        c = at(lo);
    }
    return QColor::fromRgbF(float(encode(c.r)), float(encode(c.g)), float(encode(c.b)));
}

const std::array<QColor, kSteps>& ramp() {
    static const std::array<QColor, kSteps> table = [] {
        std::array<QColor, kSteps> t;
        for (int i = 0; i < kSteps; ++i) t[i] = rampColour(double(i) / (kSteps - 1));
        return t;
    }();
    return table;
}

double luminance(const QColor& c) {
    return 0.2126 * decode(c.redF()) + 0.7152 * decode(c.greenF()) + 0.0722 * decode(c.blueF());
}

}  // namespace

QColor heatColour(double t) {
    if (!(t > 0)) t = 0;  // NaN too
    return ramp()[static_cast<int>(std::lround(std::min(t, 1.0) * (kSteps - 1)))];
}

double oklabLightness(const QColor& colour) {
    const double r = decode(colour.redF()), g = decode(colour.greenF()), b = decode(colour.blueF());
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return 0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s;
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a) + 0.05, lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QColor textColourOn(const QColor& background) {
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QColor seriesColour(int index) {
    static const QColor colours[] = {{0, 114, 178}, {213, 94, 0},   {0, 158, 115}, {204, 121, 167},
                                     {230, 159, 0}, {86, 180, 233}, {0, 0, 0},     {240, 228, 66}};
    const int n = int(std::size(colours));
    return colours[((index % n) + n) % n];
}

}  // namespace vantorix
