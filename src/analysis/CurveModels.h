// The standard curves as least-squares models (x concentration, y signal; loglog fits
// log10 y against log10 x, so its model is the straight line).
#pragma once

#include <cmath>

namespace vantorix {

struct LineModel {
    static constexpr int kParameters = 2;
    template <class T>
    T operator()(const T* p, double x) const {
        return p[0] + p[1] * x;
    }
};

// y = d + (a - d) / (1 + (x/c)^b)^g, g = 1 for the 4-parameter curve. At x = 0 the curve is
// a (b > 0), where the power's derivative in b would be 0 * log 0.
template <bool kFive>
struct LogisticModel {
    static constexpr int kParameters = kFive ? 5 : 4;
    template <class T>
    T operator()(const T* p, double x) const {
        if (x <= 0) return p[0];
        const T u = T(1) + pow(T(x) / p[2], p[1]);
        if constexpr (kFive) return p[3] + (p[0] - p[3]) / pow(u, p[4]);
        return p[3] + (p[0] - p[3]) / u;
    }
};

}  // namespace vantorix
