// The layout editor: roles painted on the plate picture with the chosen tool, samples named,
// a standard series filled into the chosen wells, wells left out with a reason, and layout
// files opened and saved. OK hands the layout back to the analysis.
#pragma once

#include <QDialog>

#include "analysis/GuiLayoutPlate.h"

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vantorix {

class frmLayoutEditor : public QDialog {
    Q_OBJECT
  public:
    explicit frmLayoutEditor(const WellLayout& layout, QWidget* parent = nullptr);
    const WellLayout& plateLayout() const { return layout_; }
    GuiLayoutPlate* plate() const { return plate_; }

    // The tool a finished choice of wells is painted with; none: the wells are only chosen.
    void setTool(std::optional<WellRole> role);
    // Acts on the wells chosen last; a problem is shown in the editor's message line.
    void fillSeries();
    void leaveOut();
    void takeBackIn();
    // Empty text when done, else why not (also shown in the message line).
    QString openLayout(const QString& path);
    QString saveLayout(const QString& path);

  private:
    QWidget* buildPaintBox();
    QWidget* buildSeriesBox();
    QWidget* buildLeaveOutBox();
    QWidget* buildFileRow();
    void chosen(const WellBlock& block);
    void showLayout(const WellLayout& layout);
    void say(const QString& message, bool problem = false);

    WellLayout layout_;
    WellBlock lastBlock_{-1, -1, -1, -1};
    GuiLayoutPlate* plate_ = nullptr;
    QButtonGroup* tools_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLineEdit* txtConcentration_ = nullptr;
    QDoubleSpinBox* spnDilution_ = nullptr;
    QLineEdit* txtFirst_ = nullptr;
    QLineEdit* txtFactor_ = nullptr;
    QComboBox* cboDirection_ = nullptr;
    QSpinBox* spnReplicates_ = nullptr;
    QComboBox* cboReplicates_ = nullptr;
    QLineEdit* txtReason_ = nullptr;
    QLabel* lblMessage_ = nullptr;
};

}  // namespace vantorix
