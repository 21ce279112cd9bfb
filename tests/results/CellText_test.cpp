#include "results/CellText.h"

#include <gtest/gtest.h>

#include "kernel/Readings.h"

using namespace vantorix;

TEST(CellText, CellRule) {
    const struct {
        const char *value, *time, *sets;
        GridMode mode;
        const char* text;
    } cases[] = {
        {"1000", "5", "1", GridMode::Readings, "720.0"},
        {"290", "5", "1", GridMode::Readings, "010.0"},
        {"1280", "5", "1", GridMode::Readings, "1000.0"},
        {"1473000", "5", "1", GridMode::Readings, "1472720.0"},
        {"1473000.5", "5", "1", GridMode::Readings, "sat"},
        {"280", "5", "1", GridMode::Readings, "000.0"},
        {"279.9", "5", "1", GridMode::Readings, "0"},
        {"0", "5", "1", GridMode::Readings, "0"},
        {"-1", "5", "1", GridMode::Readings, "X"},
        {"-0.5", "5", "1", GridMode::Readings, "X"},
        {"1000", "5", "0", GridMode::Readings, "X"},
        {"1000", "5", "", GridMode::Readings, "X"},
        {"1000", "5", "abc", GridMode::Readings, "X"},
        {"1000", "7", "3", GridMode::Times, "007"},
        {"1000", "0", "3", GridMode::Times, "000"},
        {"1000", "1003", "3", GridMode::Times, "1003"},
        {"1000", "125.9", "3", GridMode::Times, "125"},
        {"1473001", "7", "3", GridMode::Times, "sat"},
        {"-1", "7", "3", GridMode::Times, "X"},
        {"1000", "-1", "3", GridMode::Times, "-001"},
        {"1000", "7", "0", GridMode::Times, "X"},
    };
    for (const auto& c : cases) {
        Readings readings;
        readings.at(2, 8, 12) = {QString::fromLatin1(c.value), QString::fromLatin1(c.time)};
        EXPECT_EQ(cellText(readings, 2, 8, 12, c.mode, QString::fromLatin1(c.sets)), c.text)
            << c.value << " " << c.time << " " << c.sets;
    }
}

TEST(CellText, RunRuleShowsUnselectedWellsAsX) {
    const struct {
        const char* value;
        bool selected;
        const char* text;
    } cases[] = {{"1000", true, "720.0"},  {"1000", false, "X"},    {"-1", true, "X"},
                 {"1473001", true, "sat"}, {"1473001", false, "X"}, {"100", true, "0"}};
    for (const auto& c : cases)
        EXPECT_EQ(runCellText(QString::fromLatin1(c.value), c.selected), c.text) << c.value;
}
