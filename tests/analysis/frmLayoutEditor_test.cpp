// The layout editor and the analysis view on a real plate picture and real layout files.
#include "analysis/frmLayoutEditor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "analysis/GuiAnalysisView.h"
#include "analysis/GuiFigurePlate.h"
#include "analysis/LayoutFile.h"
#include "support/TestSupport.h"

using namespace vantorix;

namespace {

void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Presses at `from`, moves to `to` with the button held, and lets go there.
void drag(QWidget* w, QPoint from, QPoint to) {
    send(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(w, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    send(w, QEvent::MouseMove, to, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// "B" blank, "S" standard, "P"/"N" controls, "U" sample, "." empty: one letter a well, A1..H12.
QString roleMap(const WellLayout& layout) {
    QString out;
    for (int w = 0; w < kWellCount; ++w) {
        const char* letters = ".BSPNU";
        out += QChar::fromLatin1(letters[int(layout.wells[size_t(w)].role)]);
        if (w % kPlateColumns == kPlateColumns - 1 && w + 1 < kWellCount) out += u'|';
    }
    return out;
}

}  // namespace

TEST(LayoutEditor, DragsOverWellsRowsAndColumnsPaintTheChosenRole) {
    frmLayoutEditor editor(WellLayout{});
    editor.resize(1100, 600);
    GuiLayoutPlate* plate = editor.plate();
    struct Stroke {
        WellRole role;
        QPoint from, to;
    };
    const Stroke strokes[] = {
        // Columns 1 and 2 by dragging over their numbers, then A1-A2 back to blanks.
        {WellRole::Standard, plate->columnHeaderCentre(0), plate->columnHeaderCentre(1)},
        {WellRole::Blank, plate->wellCentre(0), plate->wellCentre(1)},
        // A block C4..D6 dragged from its bottom right corner to its top left.
        {WellRole::Sample, plate->wellCentre(WellIndex(3, 5)), plate->wellCentre(WellIndex(2, 3))},
        // Row H by its letter; one click on H12 empties it again.
        {WellRole::Positive, plate->rowHeaderCentre(7), plate->rowHeaderCentre(7)},
        {WellRole::Empty, plate->wellCentre(95), plate->wellCentre(95)},
        {WellRole::Negative, plate->wellCentre(WellIndex(6, 11)),
         plate->wellCentre(WellIndex(6, 11))},
    };
    for (const Stroke& s : strokes) {
        editor.setTool(s.role);
        drag(plate, s.from, s.to);
    }
    EXPECT_EQ(roleMap(editor.plateLayout()),
              "BB..........|SS..........|SS.UUU......|SS.UUU......|SS..........|SS..........|"
              "SS.........N|PPPPPPPPPPP.");
    // Choosing only paints nothing.
    editor.setTool(std::nullopt);
    drag(plate, plate->wellCentre(40), plate->wellCentre(47));
    EXPECT_EQ(editor.plateLayout().wells[44].role, WellRole::Empty);
    // A standard takes the concentration given, a sample the name and dilution.
    editor.findChild<QLineEdit*>(u"txtConcentration"_qs)->setText(u"12.5"_qs);
    editor.findChild<QLineEdit*>(u"txtName"_qs)->setText(u" serum "_qs);
    editor.findChild<QDoubleSpinBox*>(u"spnDilution"_qs)->setValue(4);
    editor.setTool(WellRole::Standard);
    drag(plate, plate->wellCentre(40), plate->wellCentre(40));
    editor.setTool(WellRole::Sample);
    drag(plate, plate->wellCentre(41), plate->wellCentre(41));
    const WellAssignment& standard = editor.plateLayout().wells[40];
    const WellAssignment& sample = editor.plateLayout().wells[41];
    EXPECT_EQ(standard.concentration, 12.5);
    EXPECT_EQ(standard.dilution, 1);
    EXPECT_EQ(sample.name, "serum");
    EXPECT_EQ(sample.dilution, 4);
    EXPECT_FALSE(sample.concentration.has_value());
}

TEST(LayoutEditor, StandardSeriesFillsLevelsAcrossOrDown) {
    struct Case {
        WellBlock block;
        StandardSeries series;
        std::vector<std::pair<const char*, double>> expected;  // well, concentration
        const char* firstName;                                 // of the first well
    };
    const Case cases[] = {
        // Duplicates across in columns 1-2, halving down the rows.
        {{0, 0, 3, 1},
         {100, 2, false, 2, true},
         {{"A1", 100}, {"A2", 100}, {"B1", 50}, {"B2", 50}, {"C2", 25}, {"D1", 12.5}},
         "S1"},
        // Triplicates down in rows A-C, rising by ten along the columns.
        {{0, 0, 2, 2},
         {0.1, 10, true, 3, false},
         {{"A1", 0.1}, {"C1", 0.1}, {"A2", 1}, {"B2", 1}, {"C3", 10}},
         "S1"},
        // Single wells along row E from E12 back to E9: the block's corners may come in any order.
        {{4, 11, 4, 8},
         {81, 3, false, 1, true},
         {{"E9", 81}, {"E10", 27}, {"E11", 9}, {"E12", 3}},
         "S1"},
    };
    for (const Case& c : cases) {
        WellLayout layout;
        ASSERT_EQ(fillStandardSeries(layout, c.block, c.series), QString());
        for (const auto& [name, concentration] : c.expected) {
            const WellAssignment& w =
                layout.wells[size_t(*wellFromName(QString::fromLatin1(name)))];
            EXPECT_EQ(w.role, WellRole::Standard) << name;
            EXPECT_DOUBLE_EQ(w.concentration.value_or(-1), concentration) << name;
        }
        EXPECT_EQ(layout.wells[size_t(c.block.top() * 12 + c.block.left())].name, c.firstName);
    }
    // Three columns do not split into duplicates; a factor of 1 is no series: nothing changes.
    WellLayout layout;
    EXPECT_EQ(fillStandardSeries(layout, {0, 0, 7, 2}, {100, 2, false, 2, true}),
              "3 columns do not split into groups of 2 replicates.");
    EXPECT_EQ(fillStandardSeries(layout, {0, 0, 7, 1}, {100, 1, false, 2, true}),
              "The factor between levels must be above 1.");
    EXPECT_TRUE(layout.isEmpty());
}

TEST(LayoutEditor, ChosenWellsAreLeftOutWithTheirReasonAndTheLayoutRoundTripsThroughAFile) {
    QTemporaryDir dir;
    frmLayoutEditor editor(WellLayout{});
    editor.resize(1100, 600);
    GuiLayoutPlate* plate = editor.plate();
    editor.setTool(WellRole::Blank);
    drag(plate, plate->wellCentre(0), plate->wellCentre(2));
    editor.findChild<QLineEdit*>(QStringLiteral("txtExclusionReason"))->setText(u"bubble"_qs);
    editor.findChild<QPushButton*>(QStringLiteral("cmdLeaveOut"))->click();
    const WellLayout made = editor.plateLayout();
    EXPECT_TRUE(made.wells[1].excluded);
    EXPECT_EQ(made.wells[1].exclusionReason, "bubble");
    EXPECT_FALSE(made.wells[3].excluded);  // outside the chosen block
    const QString path = dir.filePath(u"plate.csv"_qs);
    ASSERT_EQ(editor.saveLayout(path), QString());
    frmLayoutEditor again(WellLayout{});
    ASSERT_EQ(again.openLayout(path), QString());
    EXPECT_EQ(again.plateLayout(), made);
    // A file that is not a layout leaves the editor's layout as it was and says why.
    QFile bad(dir.filePath(u"bad.csv"_qs));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("well,role,name,concentration,dilution\nZ9,blank,,,\n");
    bad.close();
    EXPECT_NE(again.openLayout(bad.fileName()), QString());
    EXPECT_EQ(again.plateLayout(), made);
    // Taking the wells back in forgets the reason.
    editor.findChild<QPushButton*>(QStringLiteral("cmdTakeBackIn"))->click();
    EXPECT_FALSE(editor.plateLayout().wells[1].excluded);
    EXPECT_EQ(editor.plateLayout().wells[1].exclusionReason, "");
}

TEST(AnalysisView, LayoutIsSavedBesideTheDataFileAndFoundWhenItIsOpenedAgain) {
    QTemporaryDir dir;
    const QString data = dir.filePath(u"Plate.041.ovd"_qs);
    PlateDocument document;
    document.datasets.resize(1);
    WellLayout layout;
    layout.wells[0].role = WellRole::Blank;
    layout.wells[12].role = WellRole::Sample;
    layout.wells[12].name = u"serum"_qs;
    layout.wells[12].dilution = 4;
    {
        GuiAnalysisView view;
        view.setDocument(document, data);
        ASSERT_EQ(view.useLayout(layout), QString());
        // The unit typed for the standards goes into the layout's file with it.
        auto* unit = view.findChild<QLineEdit*>(u"txtConcentrationUnit"_qs);
        unit->setText(u"ng/mL"_qs);
        emit unit->editingFinished();
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(u"Plate.041.layout.csv"_qs)));
    layout.concentrationUnit = u"ng/mL"_qs;
    GuiAnalysisView reopened;
    reopened.setDocument(document, data);
    EXPECT_EQ(reopened.plateLayout(), layout);
    EXPECT_EQ(reopened.findChild<QLineEdit*>(u"txtConcentrationUnit"_qs)->text(), u"ng/mL"_qs);
    // Another data file without a layout beside it starts from the document's own (none).
    reopened.setDocument(document, dir.filePath(u"Other.ovd"_qs));
    EXPECT_TRUE(reopened.plateLayout().isEmpty());

    // A data file in a folder that is gone: the layout is still used, and the message says why
    // it was not kept.
    GuiAnalysisView lost;
    lost.setDocument(document, dir.filePath(u"gone/Run.ovd"_qs));
    EXPECT_NE(lost.useLayout(layout), QString());
    EXPECT_EQ(lost.plateLayout(), layout);
}

TEST(AnalysisView, PlateShowsTheChosenKineticsFigureOfEachWellButTheLeftOut) {
    // A1 reads 100 then 400 (less the dark offset) at 0 s and 10 s; A2 the same, left out.
    PlateDocument document;
    document.datasets.resize(2);
    for (int set = 0; set < 2; ++set)
        for (int well : {0, 1}) {
            document.datasets[size_t(set)].wells[size_t(well)].raw = kDarkOffset + 100 + 300 * set;
            document.datasets[size_t(set)].wells[size_t(well)].seconds = 10.0 * set;
            document.datasets[size_t(set)].wells[size_t(well)].status = WellStatus::Read;
        }
    WellLayout layout;
    layout.wells[1].excluded = true;
    layout.wells[1].exclusionReason = u"scratched"_qs;
    GuiAnalysisView view;
    view.setDocument(document, {});
    view.useLayout(layout);
    auto* shows = view.findChild<QComboBox*>(QStringLiteral("cboPlateShows"));
    ASSERT_TRUE(shows->isEnabled());
    const std::pair<int, double> figures[] = {{1, 30}, {2, 400}, {3, 10}, {4, 2500}};
    for (const auto& [index, expected] : figures) {
        shows->setCurrentIndex(index);
        const FigurePlate& plate = view.figurePlate()->plate();
        EXPECT_DOUBLE_EQ(plate.values[0].value_or(-1), expected) << index;
        EXPECT_FALSE(plate.values[1].has_value()) << index;
        EXPECT_FALSE(plate.values[2].has_value()) << index;
    }
}

TEST(AnalysisView, TableAndCurveFollowTheChosenModel) {
    // Blanks of 100 and standards at 5 light units per concentration unit, in duplicate; a
    // sample diluted twofold reading 150 above the blank: 30 on the curve, 60 in the sample.
    PlateDocument document;
    document.datasets.resize(1);
    WellLayout layout;
    const auto put = [&](int well, WellRole role, double corrected) {
        layout.wells[size_t(well)].role = role;
        document.datasets[0].wells[size_t(well)].raw = kDarkOffset + 100 + corrected;
        document.datasets[0].wells[size_t(well)].status = WellStatus::Read;
    };
    put(0, WellRole::Blank, 0);
    put(1, WellRole::Blank, 0);
    for (int level = 0; level < 3; ++level)
        for (int copy = 0; copy < 2; ++copy) {
            const double x = 10 << level;
            put(24 + level * 12 + copy, WellRole::Standard, 5 * x);
            layout.wells[size_t(24 + level * 12 + copy)].concentration = x;
        }
    put(13, WellRole::Sample, 150);
    layout.wells[13].name = u"serum"_qs;
    layout.wells[13].dilution = 2;
    GuiAnalysisView view;
    view.setDocument(document, {});
    view.useLayout(layout);
    auto* model = view.findChild<QComboBox*>(QStringLiteral("cboAnalysisModel"));
    const std::pair<int, std::vector<double>> fits[] = {{0, {0, 5}}, {1, {0.698970004, 1}}};
    for (const auto& [index, parameters] : fits) {
        model->setCurrentIndex(index);
        ASSERT_TRUE(view.analysis().curve && view.analysis().curve->ok) << index;
        for (size_t i = 0; i < parameters.size(); ++i)
            EXPECT_NEAR(view.analysis().curve->parameters[i], parameters[i], 1e-6) << index;
        QTableWidget* table = view.resultsTable();
        ASSERT_EQ(table->rowCount(), 9);
        QStringList row;
        for (int c = 0; c < table->columnCount(); ++c) row << table->item(2, c)->text();
        EXPECT_EQ(row,
                  (QStringList{"B2", "sample", "serum", "250", "150", "150", "-", "-", "60", ""}))
            << index;
    }
}
