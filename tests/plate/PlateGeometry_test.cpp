#include <gtest/gtest.h>

#include "plate/PlateGeometry.h"
#include "support/TestSupport.h"

namespace vantorix {
namespace {

TEST(PlateGeometry, WellNamesReadBackOnlyForWellsOfThePlate) {
    const struct {
        const char* name;
        int well;  // -1: not a well
    } cases[] = {{"A1", 0},   {"a12", 11}, {" B07 ", 18}, {"H12", 95}, {"I1", -1},
                 {"A13", -1}, {"A0", -1},  {"", -1},      {"A", -1},   {"A١", -1}};
    for (const auto& c : cases) {
        const auto well = wellFromName(QString::fromUtf8(c.name));
        EXPECT_EQ(well.value_or(-1), c.well) << c.name;
    }
    EXPECT_EQ(wellName(0), "A1");
    EXPECT_EQ(wellName(95), "H12");
    EXPECT_EQ(wellName(96), "");
}

}  // namespace
}  // namespace vantorix
