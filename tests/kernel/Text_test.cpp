#include "kernel/Text.h"

#include <gtest/gtest.h>

using namespace vantorix;

TEST(Text, LeadingNumberReadsTheNumberATextBeginsWith) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {{"12345", 12345}, {" 12.5abc", 12.5},
                 {"-1", -1},       {"1e2", 100},
                 {"5.ovd", 5},     {"abc", 0},
                 {"", 0},          {".5", 0.5},
                 {"1e", 1},        {"+7", 7},
                 {"5.", 5},        {"1e999", 0},
                 {"-1e-2", -0.01}, {"1473000.5", 1473000.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(Text, IsNumericNeedsTheWholeText) {
    const struct {
        const char* text;
        bool expected;
    } cases[] = {{"1e2", true}, {" 42 ", true},   {"-3.5", true},  {"5.ovd", false},
                 {"", false},   {".", false},     {"1 2", false},  {"abc", false},
                 {"041", true}, {"1e999", false}, {"+1E+2", true}, {"nan", false},
                 {"inf", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isNumeric(QString::fromLatin1(c.text)), c.expected) << c.text;
    EXPECT_FALSE(isNumeric(QString(400, u'9')));  // beyond a double's range
    EXPECT_TRUE(isNumeric(QString(299, u'9')));
}

TEST(Text, FixedFormats) {
    EXPECT_EQ(formatFixed(720, 3, 1), "720.0");
    EXPECT_EQ(formatFixed(10, 3, 1), "010.0");
    EXPECT_EQ(formatFixed(1000, 3, 1), "1000.0");
    EXPECT_EQ(formatFixed(0, 3, 1), "000.0");
    EXPECT_EQ(formatFixed(12065, 1, 1), "12065.0");
    EXPECT_EQ(formatFixed(7, 3, 0), "007");
    EXPECT_EQ(formatFixed(1003, 3, 0), "1003");
    EXPECT_EQ(formatFixed(0.25, 1, 1), "0.3");
    EXPECT_EQ(formatFixed(-5, 3, 1), "-005.0");
}

TEST(Text, SingleAndDoublePrecisionText) {
    EXPECT_EQ(singleText(9999.0f), "9999");
    EXPECT_EQ(singleText(-1.0f), "-1");
    EXPECT_EQ(singleText(12345.5f), "12345.5");
    EXPECT_EQ(singleText(1473001.0f), "1473001");
    EXPECT_EQ(singleText(123456789.0f), "1.234568E+08");
    EXPECT_EQ(singleText(0.00001f), "1E-05");
    EXPECT_EQ(doubleText(0), "0");
    EXPECT_EQ(doubleText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(doubleText(12345.5), "12345.5");
    EXPECT_EQ(doubleText(1e20), "1E+20");
}

TEST(Text, Ordinals) {
    const std::pair<int, const char*> cases[] = {
        {1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},   {11, "11th"},   {12, "12th"},
        {13, "13th"}, {21, "21st"}, {22, "22nd"}, {23, "23rd"}, {111, "111th"}, {255, "255th"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(ordinal(n), QString::fromLatin1(text)) << n;
}
