#include "options/WellSelection.h"

#include <gtest/gtest.h>

using namespace vantorix;

namespace {

WellMatrix none() {
    return WellMatrix{};
}

WellMatrix all() {
    WellMatrix w{};
    for (auto& row : w) row.fill(true);
    return w;
}

}  // namespace

TEST(WellSelection, RowFillsAPartRowAndClearsAFullOne) {
    WellMatrix w = none();
    for (int c = 0; c < 11; ++c) w[0][c] = true;
    w[1][0] = true;
    toggleRow(w, 0);
    for (int c = 0; c < 12; ++c) EXPECT_TRUE(w[0][c]) << c;
    toggleRow(w, 0);
    for (int c = 0; c < 12; ++c) EXPECT_FALSE(w[0][c]) << c;
    EXPECT_TRUE(w[1][0]);  // other rows untouched
    EXPECT_EQ(selectedCount(w), 1);
}

TEST(WellSelection, ColumnTwelveIsWellsElevenToNinetyFive) {
    WellMatrix w = none();
    toggleColumn(w, 11);
    for (int i = 0; i < kWellCount; ++i) EXPECT_EQ(w[i / 12][i % 12], i % 12 == 11) << "well " << i;
    toggleColumn(w, 11);
    EXPECT_EQ(selectedCount(w), 0);
}

TEST(WellSelection, AllCompletesThenClearsThenFills) {
    WellMatrix w = all();
    w[7][11] = false;
    toggleAll(w);
    EXPECT_EQ(selectedCount(w), 96);
    toggleAll(w);
    EXPECT_EQ(selectedCount(w), 0);
    toggleAll(w);
    EXPECT_EQ(selectedCount(w), 96);

    toggleWell(w, 2, 3);
    EXPECT_FALSE(w[2][3]);
    toggleWell(w, 2, 3);
    EXPECT_TRUE(w[2][3]);
    toggleWell(w, 8, 0);  // off the plate: nothing happens, nothing is written
    toggleRow(w, -1);
    toggleColumn(w, 12);
    EXPECT_EQ(w, all());
}

TEST(WellSelection, ParsesWellLists) {
    const struct {
        const char* text;
        std::vector<int> wells;
    } good[] = {
        {"A1", {0}},
        {"h12", {95}},
        {"A1-A3, H12", {0, 1, 2, 95}},
        {"A11-B2", {10, 11, 12, 13}},
        {" B1 - B1 ", {12}},
        {"none", {}},
        {"C5,C5", {28}},
    };
    for (const auto& c : good) {
        WellMatrix w = all();
        QString error;
        ASSERT_TRUE(parseWellList(c.text, w, &error)) << c.text << ": " << error.toStdString();
        WellMatrix expected{};
        for (int i : c.wells) expected[i / 12][i % 12] = true;
        EXPECT_EQ(w, expected) << c.text;
    }
    WellMatrix w{};
    ASSERT_TRUE(parseWellList("A1-B12", w));
    EXPECT_EQ(selectedCount(w), 24);
    ASSERT_TRUE(parseWellList("all", w));
    EXPECT_EQ(w, all());

    for (const char* bad :
         {"", "A0", "A13", "I1", "A01", "A1-", "B1-A1", "A1,,A2", "A1-B2-C3", "1A", "AA", "A1x"}) {
        WellMatrix kept = none();
        kept[3][3] = true;
        const WellMatrix before = kept;
        QString error;
        EXPECT_FALSE(parseWellList(bad, kept, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
        EXPECT_EQ(kept, before) << bad;
    }
}

TEST(WellSelection, FormattedListReadsBackTheSameSelection) {
    WellMatrix w = none();
    EXPECT_EQ(formatWellList(w), "none");
    EXPECT_EQ(formatWellList(all()), "all");
    w[0][0] = w[0][1] = w[0][2] = true;
    w[0][11] = w[1][0] = true;
    w[7][11] = true;
    EXPECT_EQ(formatWellList(w), "A1-A3,A12-B1,H12");

    // Every pattern of a seeded pseudo-random selection round-trips.
    unsigned seed = 12345;
    for (int round = 0; round < 50; ++round) {
        WellMatrix r{};
        for (auto& row : r)
            for (bool& cell : row) cell = ((seed = seed * 1103515245u + 12345u) >> 16) & 1;
        WellMatrix back{};
        ASSERT_TRUE(parseWellList(formatWellList(r), back)) << "seed round " << round;
        EXPECT_EQ(back, r) << formatWellList(r).toStdString();
    }
}
