#include "results/GuiResultsGrid.h"

#include <gtest/gtest.h>

#include <memory>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "plate/PlateDocument.h"

namespace vantorix {
namespace {

TEST(GuiResultsGrid, LaysOutThePlateWithItsHeaders) {
    QTableWidget grid;
    layOutResultsGrid(grid);
    ASSERT_EQ(grid.rowCount(), 8);
    ASSERT_EQ(grid.columnCount(), 12);
    EXPECT_EQ(grid.verticalHeaderItem(0)->text(), "  A");
    EXPECT_EQ(grid.verticalHeaderItem(7)->text(), "  H");
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), "1");
    EXPECT_EQ(grid.horizontalHeaderItem(11)->text(), "12");
    EXPECT_EQ(grid.horizontalHeader()->defaultAlignment(), Qt::AlignLeft | Qt::AlignBottom);
    EXPECT_EQ(grid.item(3, 4)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_FALSE(grid.item(0, 0)->flags() & Qt::ItemIsEditable);
}

// The grid shows what the cell rule gives, in both modes, for well B7 of set 2; the rule's
// every case is CellText.CellRule's table. A document that declares no sets shows "X".
TEST(GuiResultsGrid, FillsTheCellsByTheCellRuleInBothModes) {
    struct Case {
        std::optional<double> raw, seconds;
        bool declaresSets;
        const char* reading;
        const char* times;
    };
    const Case cases[] = {
        {1000, 7, true, "720.0", "007"},    {1280, 1003, true, "1000.0", "1003"},
        {1473000.5, 9, true, "sat", "sat"}, {std::nullopt, std::nullopt, true, "X", "X"},
        {1000, 7, false, "X", "X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw.value_or(-1));
        PlateDocument document;
        document.dataset(2).at(1, 6) = {c.raw, c.seconds, WellStatus::Read};
        QTableWidget grid;
        layOutResultsGrid(grid);
        fillResultsGrid(grid, document, 2, GridMode::Readings, c.declaresSets);
        EXPECT_EQ(wellText(grid, 2, 7), QString::fromLatin1(c.reading));
        EXPECT_EQ(wellText(grid, 1, 1), "X");
        fillResultsGrid(grid, document, 2, GridMode::Times, c.declaresSets);
        EXPECT_EQ(wellText(grid, 2, 7), QString::fromLatin1(c.times));
    }
}

// Each status gets its own background and a tooltip naming it; the cell's text stays.
TEST(GuiResultsGrid, ShadesAndNamesEveryWellStatus) {
    struct Case {
        int row, column;
        WellStatus status;
        QColor background;
        const char* tip;
    };
    const QColor plain = QTableWidget().palette().color(QPalette::Base);
    const Case cases[] = {
        {1, 1, WellStatus::NotSelected, QColor(216, 216, 216), "A1: not selected"},
        {2, 7, WellStatus::Pending, QColor(128, 255, 128), "B7: pending"},
        {3, 12, WellStatus::Read, plain, "C12: read"},
        {8, 1, WellStatus::Saturated, QColor(255, 196, 112), "H1: saturated"},
        {8, 12, WellStatus::NoReading, QColor(255, 168, 168), "H12: no reading"},
    };
    std::array<WellStatus, kWellCount> statuses{};
    statuses.fill(WellStatus::Read);
    for (const Case& c : cases) statuses[(c.row - 1) * 12 + c.column - 1] = c.status;
    QTableWidget grid;
    layOutResultsGrid(grid);
    setWellText(grid, 8, 12, "X");
    shadeWellStatuses(grid, statuses);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip);
        EXPECT_EQ(wellBackground(grid, c.row, c.column), c.background);
        EXPECT_EQ(wellToolTip(grid, c.row, c.column), QString::fromLatin1(c.tip));
    }
    EXPECT_EQ(wellText(grid, 8, 12), "X");

    // The legend shows the five names in this order.
    std::unique_ptr<QWidget> legend(newWellStatusLegend(nullptr));
    QStringList names;
    for (const QLabel* label : legend->findChildren<QLabel*>())
        if (!label->text().isEmpty()) names << label->text();
    EXPECT_EQ(names, QStringList({"not selected", "pending", "read", "saturated", "no reading"}));
}

TEST(GuiResultsGrid, IgnoresCellsOffThePlate) {
    QTableWidget grid;
    layOutResultsGrid(grid);
    setWellText(grid, 9, 1, "x");
    setWellText(grid, 1, 13, "x");
    setWellText(grid, 0, 0, "x");
    EXPECT_EQ(wellText(grid, 9, 1), "");
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 12; ++c) EXPECT_EQ(grid.item(r, c)->text(), "");
}

}  // namespace
}  // namespace vantorix
