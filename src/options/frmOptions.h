// The options dialog: edits one run options record. Callers fill every field from a record,
// call ShowForm and, when it reports OK, read the fields back (fillOptionsDialog /
// readOptionsDialog). The dialog is created once and only hidden between uses.
//
// Only the well grid, the repeat fields and the extra-sensitivity box are shown. The reaction
// type and the eight flash fields are carried out of sight: they come back exactly as they were
// filled in, and OK checks them like the visible fields.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "kernel/RunOptions.h"
#include "options/OptionsValidation.h"
#include "ui/GuiDialogNotices.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vantorix {

class GuiWellGrid;

class frmOptions : public QDialog {
    Q_OBJECT
  public:
    explicit frmOptions(DialogNotices& notices = defaultDialogNotices(), QWidget* parent = nullptr);

    // Shows the dialog modally without nesting an event loop: `done` runs once, with true
    // when OK passed the checks, false for Cancel, Esc or the close box.
    void ShowForm(std::function<void(bool confirmed)> done);
    // "True" after OK, "False" after Cancel; "" before the first use.
    QString tag() const { return tag_; }

    bool SelectedWells(int row, int column) const;
    void setSelectedWells(int row, int column, bool selected);

    // The number the field's text begins with; set writes plain decimal text.
    qint16 field(OptionField f) const;
    void setField(OptionField f, qint16 value);
    QLineEdit* fieldBox(OptionField f) const;

    qint16 Repeats() const { return field(OptionField::Repeats); }
    void setRepeats(qint16 v) { setField(OptionField::Repeats, v); }
    qint16 Delay() const { return field(OptionField::Delay); }
    void setDelay(qint16 v) { setField(OptionField::Delay, v); }

    // 2 when "&Flash" is selected, else 1; setting 1 selects "&Glow", anything else "&Flash".
    qint16 Reaction() const;
    void setReaction(qint16 reaction);
    // "&Multiple Runs" selected; setting it also enables or disables the repeat fields.
    bool RepeatMode() const;
    void setRepeatMode(bool multipleRuns);
    // The extra-sensitivity check box: 0 clear, 1 ticked.
    qint16 Sensitive() const;
    void setSensitive(qint16 sensitive);

  protected:
    void done(int result) override;

  private:
    void buildControls();
    QGroupBox* buildRepeatsFrame();
    QGroupBox* buildFlashFrame();
    QGroupBox* buildReactionFrame();
    void layOutControls(QGroupBox* repeats, QGroupBox* sensitivity, QGroupBox* wells);
    void connectControls();
    void showRepeatFields(bool multipleRuns);
    // A spinner click: a new value for the text (or nothing), then select and focus the box.
    void step(QLineEdit* box, const std::function<bool(double value)>& allowed, double delta);
    OptionsFields currentFields() const;
    void cmdOK_Click();
    void reportFieldFailure(const ValidationFailure& failure);
    void reportPumpTotal(const ValidationFailure& failure);
    void pointAt(QLineEdit* box);

    DialogNotices& notices_;
    std::function<void(bool)> pending_;
    QString tag_;

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QRadioButton* optSingleRead = nullptr;
    QRadioButton* optRepeatMode = nullptr;
    QLabel* lblRepeats = nullptr;
    QLabel* lblDelay = nullptr;
    QToolButton* picRunsSpinUp = nullptr;
    QToolButton* picRunsSpinDown = nullptr;
    QToolButton* picDelaySpinUp = nullptr;
    QToolButton* picDelaySpinDown = nullptr;
    QCheckBox* optSensitivity = nullptr;
    QRadioButton* optGlow = nullptr;
    QRadioButton* optFlash = nullptr;
    QGroupBox* fraReaction = nullptr;
    QGroupBox* fraFlashConfiguration = nullptr;
    GuiWellGrid* grdWells = nullptr;
    // Indexed by OptionField: txtPresamples ... txtRepeats, txtDelay.
    std::array<QLineEdit*, kOptionFieldCount> fieldBoxes_{};
};

// Fills the dialog from a record: the 96 wells row by row, then Presamples, Postsamples,
// PostInjectDelay, Pump1Volume, Pump2Volume, Dwell, Prime1, Prime2, Reaction, RepeatMode,
// Repeats, Delay, Sensitive.
void fillOptionsDialog(frmOptions& dialog, const RunOptions& options);
// Reads the dialog back into a record in the same order.
void readOptionsDialog(const frmOptions& dialog, RunOptions& options);
// Fills the dialog from `record`, shows it and on OK reads it back into `record`; `done` then
// learns whether it was confirmed. `record` must outlive the dialog's showing.
void editOptions(frmOptions& dialog, RunOptions& record, std::function<void(bool)> done);

}  // namespace vantorix
