#include "analysis/Kinetics.h"

#include <algorithm>
#include <vector>

namespace vantorix {

namespace {

struct Sample {
    double seconds, value;
};

std::optional<double> leastSquaresSlope(const std::vector<Sample>& s) {
    double mt = 0, mv = 0;
    for (const Sample& p : s) mt += p.seconds, mv += p.value;
    mt /= double(s.size()), mv /= double(s.size());
    double stt = 0, stv = 0;
    for (const Sample& p : s) {
        stt += (p.seconds - mt) * (p.seconds - mt);
        stv += (p.seconds - mt) * (p.value - mv);
    }
    if (stt <= 0) return std::nullopt;  // one reading time: no slope
    return stv / stt;
}

WellKinetics kineticsOf(std::vector<Sample> s) {
    WellKinetics k;
    k.points = int(s.size());
    if (s.empty()) return k;
    std::stable_sort(s.begin(), s.end(),
                     [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
    const auto top = std::max_element(
        s.begin(), s.end(), [](const Sample& a, const Sample& b) { return a.value < b.value; });
    k.maximum = top->value;
    k.timeOfMaximum = top->seconds;
    k.slope = leastSquaresSlope(s);
    if (s.size() >= 2) {
        double area = 0;
        for (size_t i = 1; i < s.size(); ++i)
            area += 0.5 * (s[i].value + s[i - 1].value) * (s[i].seconds - s[i - 1].seconds);
        k.area = area;
    }
    return k;
}

}  // namespace

std::array<WellKinetics, kWellCount> wellKinetics(const PlateDocument& document) {
    std::array<WellKinetics, kWellCount> result{};
    for (int well = 0; well < kWellCount; ++well) {
        if (document.layout.wells[size_t(well)].excluded) continue;
        std::vector<Sample> samples;
        for (const Dataset& set : document.datasets) {
            const WellReading& r = set.wells[size_t(well)];
            if (r.hasReading() && !r.saturated() && r.seconds)
                samples.push_back({*r.seconds, *r.value()});
        }
        result[size_t(well)] = kineticsOf(std::move(samples));
    }
    return result;
}

std::optional<double> kineticsFigure(const WellKinetics& k, KineticsFigure figure) {
    switch (figure) {
        case KineticsFigure::Slope:
            return k.slope;
        case KineticsFigure::Maximum:
            return k.maximum;
        case KineticsFigure::TimeOfMaximum:
            return k.timeOfMaximum;
        case KineticsFigure::Area:
            return k.area;
    }
    return std::nullopt;
}

}  // namespace vantorix
