#include "results/CellText.h"

#include <gtest/gtest.h>

#include "plate/WellReading.h"

using namespace vantorix;

namespace {
constexpr std::nullopt_t none = std::nullopt;
}  // namespace

TEST(CellText, CellRule) {
    const struct {
        std::optional<double> raw, seconds;
        GridMode mode;
        const char* text;
    } cases[] = {
        {1000, 5, GridMode::Readings, "720.0"},    {290, 5, GridMode::Readings, "010.0"},
        {1280, 5, GridMode::Readings, "1000.0"},   {1473000, 5, GridMode::Readings, "1472720.0"},
        {1473000.5, 5, GridMode::Readings, "sat"}, {280, 5, GridMode::Readings, "000.0"},
        {279.9, 5, GridMode::Readings, "0"},       {0, 5, GridMode::Readings, "0"},
        {none, 5, GridMode::Readings, "X"},        {1000, 7, GridMode::Times, "007"},
        {1000, 0, GridMode::Times, "000"},         {1000, 1003, GridMode::Times, "1003"},
        {1000, 125.9, GridMode::Times, "125"},     {1473001, 7, GridMode::Times, "sat"},
        {none, 7, GridMode::Times, "X"},           {1000, none, GridMode::Times, "-001"},
    };
    for (const auto& c : cases) {
        const WellReading reading{c.raw, c.seconds, WellStatus::Read};
        EXPECT_EQ(cellText(reading, c.mode), c.text)
            << c.raw.value_or(-1) << " " << c.seconds.value_or(-1);
    }
}

TEST(CellText, RunRuleShowsUnselectedWellsAsX) {
    const struct {
        std::optional<double> raw;
        bool selected;
        const char* text;
    } cases[] = {{1000, true, "720.0"},  {1000, false, "X"},    {none, true, "X"},
                 {1473001, true, "sat"}, {1473001, false, "X"}, {100, true, "0"}};
    for (const auto& c : cases)
        EXPECT_EQ(runCellText(c.raw, c.selected), c.text) << c.raw.value_or(-1);
}
