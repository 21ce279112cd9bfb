// What each well of the heat map says and which well a click lands on.
#include "results/GuiHeatMapView.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "plate/PlateDocument.h"
#include "support/TestSupport.h"

using namespace vantorix;

TEST(GuiHeatMapView, EveryWellStateHasItsOwnText) {
    struct Case {
        std::optional<double> raw;
        bool selected, complete;
        WellStatus status;
        const char* text;
    } cases[] = {
        {std::nullopt, true, true, WellStatus::NoReading, "X"},
        {std::nullopt, false, true, WellStatus::NotSelected, ""},
        {std::nullopt, true, false, WellStatus::Pending, "\u2026"},
        {1500000, true, true, WellStatus::Saturated, "sat"},
        {1280, true, true, WellStatus::Read, "1000"},  // large values without the tenth
        {999, true, true, WellStatus::Read, "719.0"},
        {100, true, false, WellStatus::Read, "0"},  // a reading below the offset is a zero
    };
    for (const Case& c : cases) {
        PlateDocument readings;
        readings.dataset(2).at(2, 3).raw = c.raw;  // C4
        WellMatrix selected{};
        selected[2][3] = c.selected;
        const HeatMapPicture p = heatMapPicture(readings, 2, selected, c.complete, {}, "t");
        EXPECT_EQ(p.wells[27].status, c.status) << c.raw.value_or(-1);
        EXPECT_EQ(p.wells[27].text, QString::fromUtf8(c.text)) << c.raw.value_or(-1);
    }
}

TEST(GuiHeatMapView, AClickNamesTheWellUnderIt) {
    GuiHeatMapView view;
    view.resize(800, 520);
    QSignalSpy clicked(&view, &GuiHeatMapView::wellClicked);
    const HeatMapLayout layout = heatMapLayout(QRectF(6, 4, 788, 512));
    const struct { int row, column, well; } cases[] = {{0, 0, 0}, {7, 11, 95}, {3, 5, 41}};
    for (const auto& c : cases)
        QTest::mouseClick(&view, Qt::LeftButton, {},
                          layout.cell(c.row, c.column).center().toPoint());
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(20, 10));  // the title: no well
    ASSERT_EQ(clicked.size(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(clicked[i][0].toInt(), cases[i].well);
}
