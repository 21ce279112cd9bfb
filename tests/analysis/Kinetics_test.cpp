// Kinetics across the sets of a run, by hand: slope, maximum, its time and the area.
#include <gtest/gtest.h>

#include "analysis/AnalysisText.h"
#include "analysis/Kinetics.h"
#include "plate/PlateGeometry.h"

namespace vantorix {
namespace {

TEST(Kinetics, FiguresPerWellLeaveOutSaturatedMissingAndExcludedReadings) {
    // Values (less the dark offset) at 0, 10 and 30 s; -1: no reading, 2e6: saturated.
    const struct {
        const char* well;
        double values[3];
        bool excluded;
        const char *slope, *maximum, *timeOfMaximum, *area;
    } cases[] = {
        // mean t 13.3333, Stt 466.667, Stv 1000; area 2000 + 5000.
        {"A1", {100, 300, 200}, false, "2.14286", "300", "10", "7000"},
        {"B1", {100, 2e6, 200}, false, "3.33333", "200", "30", "4500"},
        {"C1", {-1, 50, -1}, false, "-", "50", "10", "-"},
        {"D1", {100, 300, 200}, true, "-", "-", "-", "-"},
    };
    PlateDocument d;
    d.datasets.resize(3);
    for (const auto& c : cases) {
        const int well = *wellFromName(QString::fromLatin1(c.well));
        d.layout.wells[size_t(well)] = {WellRole::Sample, "S", {}, 1, c.excluded, "spilt"};
        for (size_t s = 0; s < 3; ++s) {
            WellReading& r = d.datasets[s].wells[size_t(well)];
            if (c.values[s] >= 0) r.raw = c.values[s] + kDarkOffset;
            r.seconds = std::array{0.0, 10.0, 30.0}[s];
        }
    }
    const auto k = wellKinetics(d);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.well);
        const WellKinetics& w = k[size_t(*wellFromName(QString::fromLatin1(c.well)))];
        EXPECT_EQ(plainNumber(kineticsFigure(w, KineticsFigure::Slope)), c.slope);
        EXPECT_EQ(plainNumber(kineticsFigure(w, KineticsFigure::Maximum)), c.maximum);
        EXPECT_EQ(plainNumber(kineticsFigure(w, KineticsFigure::TimeOfMaximum)), c.timeOfMaximum);
        EXPECT_EQ(plainNumber(kineticsFigure(w, KineticsFigure::Area)), c.area);
    }
}

}  // namespace
}  // namespace vantorix
