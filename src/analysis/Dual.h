// Forward-mode automatic differentiation: a value with its derivatives in N parameters. A
// curve model written once for double is evaluated on duals to give the exact Jacobian, so
// the fit and the parameters' standard errors need no step size.
#pragma once

#include <array>
#include <cmath>

namespace vantorix {

template <int N>
struct Dual {
    double a = 0;               // the value
    std::array<double, N> v{};  // its partial derivatives

    Dual() = default;
    explicit Dual(double value) : a(value) {}
    // The parameter `index` itself: derivative 1 in it, 0 in the others.
    static Dual variable(double value, int index) {
        Dual d(value);
        d.v[size_t(index)] = 1;
        return d;
    }
    bool allFinite() const {
        if (!std::isfinite(a)) return false;
        for (double x : v)
            if (!std::isfinite(x)) return false;
        return true;
    }
};

// f(g) with f(g.a) = value and f'(g.a) = slope.
template <int N>
Dual<N> chain(const Dual<N>& g, double value, double slope) {
    Dual<N> r(value);
    for (int i = 0; i < N; ++i) r.v[size_t(i)] = slope * g.v[size_t(i)];
    return r;
}

template <int N>
Dual<N> operator-(const Dual<N>& x) {
    return chain(x, -x.a, -1.0);
}

template <int N>
Dual<N> operator+(const Dual<N>& x, const Dual<N>& y) {
    Dual<N> r(x.a + y.a);
    for (int i = 0; i < N; ++i) r.v[size_t(i)] = x.v[size_t(i)] + y.v[size_t(i)];
    return r;
}

template <int N>
Dual<N> operator-(const Dual<N>& x, const Dual<N>& y) {
    return x + -y;
}

template <int N>
Dual<N> operator*(const Dual<N>& x, const Dual<N>& y) {
    Dual<N> r(x.a * y.a);
    for (int i = 0; i < N; ++i) r.v[size_t(i)] = x.v[size_t(i)] * y.a + x.a * y.v[size_t(i)];
    return r;
}

template <int N>
Dual<N> operator/(const Dual<N>& x, const Dual<N>& y) {
    const double q = x.a / y.a;
    Dual<N> r(q);
    for (int i = 0; i < N; ++i) r.v[size_t(i)] = (x.v[size_t(i)] - q * y.v[size_t(i)]) / y.a;
    return r;
}

// Mixed with plain numbers (the observations).
template <int N>
Dual<N> operator+(const Dual<N>& x, double y) {
    return chain(x, x.a + y, 1.0);
}
template <int N>
Dual<N> operator-(const Dual<N>& x, double y) {
    return chain(x, x.a - y, 1.0);
}
template <int N>
Dual<N> operator-(double x, const Dual<N>& y) {
    return chain(y, x - y.a, -1.0);
}
template <int N>
Dual<N> operator*(const Dual<N>& x, double y) {
    return chain(x, x.a * y, y);
}
template <int N>
Dual<N> operator*(double x, const Dual<N>& y) {
    return y * x;
}
template <int N>
Dual<N> operator/(const Dual<N>& x, double y) {
    return chain(x, x.a / y, 1.0 / y);
}

template <int N>
Dual<N> exp(const Dual<N>& x) {
    const double e = std::exp(x.a);
    return chain(x, e, e);
}

template <int N>
Dual<N> log(const Dual<N>& x) {
    return chain(x, std::log(x.a), 1.0 / x.a);
}

template <int N>
Dual<N> sqrt(const Dual<N>& x) {
    const double s = std::sqrt(x.a);
    return chain(x, s, 0.5 / s);
}

template <int N>
Dual<N> pow(const Dual<N>& x, double y) {
    return chain(x, std::pow(x.a, y), y * std::pow(x.a, y - 1));
}

// x^y = exp(y log x). At x = 0 the log term's factor is 0 and is left out rather than taken
// as 0 * -inf; the power term x^(y-1) is finite there for y >= 1.
template <int N>
Dual<N> pow(const Dual<N>& x, const Dual<N>& y) {
    const double value = std::pow(x.a, y.a);
    Dual<N> r(value);
    const double dx = y.a * std::pow(x.a, y.a - 1);
    const double dy = x.a == 0 ? 0.0 : value * std::log(x.a);
    for (int i = 0; i < N; ++i) r.v[size_t(i)] = dx * x.v[size_t(i)] + dy * y.v[size_t(i)];
    return r;
}

}  // namespace vantorix
