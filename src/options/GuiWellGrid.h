// The well grid of the options dialog: 96 cells in plate order with the row ("A".."H"),
// column ("1".."12") and "All" toggles, and the legend. A cell's tag ("True"/"False") is its
// selection; a click flips it, the buttons fill a partly selected group or clear a full one.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>

#include "options/WellSelection.h"

class QLabel;
class QPushButton;

namespace vantorix {

inline const QColor kWellSelectedColour{0, 192, 0};
inline const QColor kWellClearColour{224, 224, 224};

class GuiWellGrid : public QWidget {
    Q_OBJECT
  public:
    explicit GuiWellGrid(QWidget* parent = nullptr);

    // Rows 0-7, columns 0-11; anything else reads false and is not written.
    bool SelectedWells(int row, int column) const;
    void setSelectedWells(int row, int column, bool selected);

    WellMatrix selection() const;
    void setSelection(const WellMatrix& wells);

    // The cell of a well (its objectName is "lblWell" + well number).
    QLabel* cell(int row, int column) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildCells();
    void buildButtons();
    void buildLegend();
    // Runs one of the fill-or-clear rules on the cells.
    template <typename Rule>
    void applyRule(Rule rule);

    std::array<QLabel*, kWellCount> lblWell{};
    std::array<QPushButton*, kPlateRows> cmdRow{};
    std::array<QPushButton*, kPlateColumns> cmdColumn{};
    QPushButton* cmdAllCells = nullptr;
    QLabel* shpSample = nullptr;
    QLabel* lblSample = nullptr;
};

}  // namespace vantorix
