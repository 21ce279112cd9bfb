// The least-squares engine against certified reference problems (logistic growth curves and
// an exponential rise to a plateau), each from a near and a far start.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/LeastSquares.h"

namespace vantorix {
namespace {

// y = b1 / (1 + exp(b2 - b3 x))
struct Rat42 {
    static constexpr int kParameters = 3;
    template <class T>
    T operator()(const T* b, double x) const {
        return b[0] / (T(1) + exp(b[1] - b[2] * x));
    }
};

// y = b1 / (1 + exp(b2 - b3 x))^(1 / b4)
struct Rat43 {
    static constexpr int kParameters = 4;
    template <class T>
    T operator()(const T* b, double x) const {
        return b[0] / pow(T(1) + exp(b[1] - b[2] * x), T(1) / b[3]);
    }
};

// y = b1 (1 - exp(-b2 x))
struct BoxBod {
    static constexpr int kParameters = 2;
    template <class T>
    T operator()(const T* b, double x) const {
        return b[0] * (T(1) - exp(-b[1] * x));
    }
};

struct Certified {
    std::vector<double> values, errors;
    double rss;
};

void expectCertified(const LeastSquaresResult& r, const Certified& c, const char* start) {
    SCOPED_TRACE(start);
    ASSERT_TRUE(r.converged) << r.message.toStdString();
    ASSERT_EQ(r.parameters.size(), c.values.size());
    for (size_t i = 0; i < c.values.size(); ++i) {
        EXPECT_NEAR(r.parameters[i], c.values[i], 1e-6 * std::abs(c.values[i])) << "b" << i + 1;
        ASSERT_TRUE(r.standardErrors[i]);
        EXPECT_NEAR(*r.standardErrors[i], c.errors[i], 1e-6 * c.errors[i]) << "SE b" << i + 1;
    }
    EXPECT_NEAR(r.rss, c.rss, 1e-6 * c.rss);
}

template <class Model>
void expectBothStarts(const std::vector<double>& x, const std::vector<double>& y,
                      const std::vector<double>& start1, const std::vector<double>& start2,
                      const Certified& c) {
    expectCertified(fitLeastSquares(Model(), x, y, {}, start1), c, "start 1");
    expectCertified(fitLeastSquares(Model(), x, y, {}, start2), c, "start 2");
}

TEST(LeastSquares, ReachesCertifiedLogisticGrowthFitsFromBothStarts) {
    expectBothStarts<Rat42>({9, 14, 21, 28, 42, 57, 63, 70, 79},
                            {8.930, 10.800, 18.590, 22.330, 39.350, 56.110, 61.730, 64.620, 67.080},
                            {100, 1, 0.1}, {75, 2.5, 0.07},
                            {{7.2462237576E+01, 2.6180768402E+00, 6.7359200066E-02},
                             {1.7340283401E+00, 8.8295217536E-02, 3.4465663377E-03},
                             8.0565229338E+00});
    expectBothStarts<Rat43>(
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
        {16.08, 33.83, 65.80, 97.20, 191.55, 326.20, 386.87, 520.53, 590.03, 651.92, 724.93, 699.56,
         689.96, 637.56, 717.41},
        {100, 10, 1, 1}, {700, 5, 0.75, 1.3},
        {{6.9964151270E+02, 5.2771253025E+00, 7.5962938329E-01, 1.2792483859E+00},
         {1.6302297817E+01, 2.0828735829E+00, 1.9566123451E-01, 6.8761936385E-01},
         8.7864049080E+03});
}

TEST(LeastSquares, ReachesCertifiedPlateauFitFromAFarStart) {
    expectBothStarts<BoxBod>({1, 2, 3, 5, 7, 10}, {109, 149, 149, 191, 213, 224}, {1, 1},
                             {100, 0.75},
                             {{2.1380940889E+02, 5.4723748542E-01},
                              {1.2354515176E+01, 1.0455993237E-01},
                              1.1680088766E+03});
}

// The same plateau with the rate held at 1 or above: the solution sits on the bound, the
// amplitude the best one for that rate (sum y u / sum u^2, u = 1 - exp(-x)), from either side.
TEST(LeastSquares, StopsOnALowerBoundThatCutsOffTheMinimum) {
    const std::vector<double> x{1, 2, 3, 5, 7, 10}, y{109, 149, 149, 191, 213, 224};
    for (const std::vector<double>& start : {std::vector<double>{1, 1}, {300, 5}}) {
        const LeastSquaresResult r = fitLeastSquares(BoxBod(), x, y, {}, start, {{1, 1.0}});
        ASSERT_TRUE(r.converged);
        EXPECT_NEAR(r.parameters[0], 191.83086540791965, 1e-6);
        EXPECT_DOUBLE_EQ(r.parameters[1], 1.0);
        EXPECT_NEAR(r.rss, 3033.6547385484696, 1e-6);
    }
}

}  // namespace
}  // namespace vantorix
