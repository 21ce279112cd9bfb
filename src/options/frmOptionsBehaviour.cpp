// The options dialog's behaviour: field properties, repeat mode, spinners and the checks on OK.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <utility>

#include "kernel/Text.h"
#include "options/GuiWellGrid.h"
#include "options/frmOptions.h"

namespace vantorix {

void frmOptions::ShowForm(std::function<void(bool)> done) {
    pending_ = std::move(done);
    tag_.clear();
    open();
}

void frmOptions::done(int result) {
    tag_ = result == QDialog::Accepted ? QStringLiteral("True") : QStringLiteral("False");
    // Hidden, never destroyed: the next showing reuses this dialog.
    QDialog::done(result);
    if (auto callback = std::exchange(pending_, nullptr)) callback(result == QDialog::Accepted);
}

bool frmOptions::SelectedWells(int row, int column) const {
    return grdWells->SelectedWells(row, column);
}

void frmOptions::setSelectedWells(int row, int column, bool selected) {
    grdWells->setSelectedWells(row, column, selected);
}

QLineEdit* frmOptions::fieldBox(OptionField f) const {
    return fieldBoxes_[static_cast<size_t>(f)];
}

qint16 frmOptions::field(OptionField f) const {
    return toInt16(leadingNumber(fieldBox(f)->text()));
}

void frmOptions::setField(OptionField f, qint16 value) {
    fieldBox(f)->setText(QString::number(value));
}

qint16 frmOptions::Reaction() const {
    return optFlash->isChecked() ? kReactionFlash : kReactionGlow;
}

void frmOptions::setReaction(qint16 reaction) {
    (reaction == kReactionGlow ? optGlow : optFlash)->setChecked(true);
}

bool frmOptions::RepeatMode() const {
    return optRepeatMode->isChecked();
}

void frmOptions::setRepeatMode(bool multipleRuns) {
    (multipleRuns ? optRepeatMode : optSingleRead)->setChecked(true);
    // Also when the selection did not change (a fresh dialog has neither button selected).
    showRepeatFields(multipleRuns);
}

qint16 frmOptions::Sensitive() const {
    return optSensitivity->isChecked() ? 1 : 0;
}

void frmOptions::setSensitive(qint16 sensitive) {
    optSensitivity->setChecked(sensitive == 1);
}

void frmOptions::showRepeatFields(bool multipleRuns) {
    // A disabled box keeps its text, and OK does not check it.
    for (QWidget* w :
         {static_cast<QWidget*>(lblRepeats), static_cast<QWidget*>(fieldBox(OptionField::Repeats)),
          static_cast<QWidget*>(lblDelay), static_cast<QWidget*>(fieldBox(OptionField::Delay))})
        w->setEnabled(multipleRuns);
    for (QToolButton* spinner : {picRunsSpinUp, picRunsSpinDown, picDelaySpinUp, picDelaySpinDown})
        spinner->setVisible(multipleRuns);
}

void frmOptions::step(QLineEdit* box, const std::function<bool(double)>& allowed, double delta) {
    const QString text = box->text();
    if (!isNumeric(text)) return;
    const double value = leadingNumber(text);
    if (!allowed(value)) return;
    box->setText(doubleText(value + delta));
    pointAt(box);
}

void frmOptions::pointAt(QLineEdit* box) {
    box->selectAll();
    box->setFocus(Qt::OtherFocusReason);
}

OptionsFields frmOptions::currentFields() const {
    OptionsFields f;
    for (int i = 0; i < kOptionFieldCount; ++i) {
        const auto field = static_cast<OptionField>(i);
        f.text(field) = fieldBox(field)->text();
    }
    f.singleRun = optSingleRead->isChecked();
    f.repeatsEnabled = fieldBox(OptionField::Repeats)->isEnabled();
    f.delayEnabled = fieldBox(OptionField::Delay)->isEnabled();
    return f;
}

void frmOptions::cmdOK_Click() {
    const ValidationFailure failure = validateOptions(currentFields());
    switch (failure.kind) {
        case ValidationFailure::None:
            accept();
            return;
        case ValidationFailure::RepeatCount:
            notices_.message(this, failure.message, DialogNotices::Icon::None, {});
            return;
        case ValidationFailure::Field:
            reportFieldFailure(failure);
            return;
        case ValidationFailure::PumpTotal:
            reportPumpTotal(failure);
            return;
    }
}

void frmOptions::reportFieldFailure(const ValidationFailure& failure) {
    QLineEdit* box = fieldBox(failure.field);
    if (box->isVisibleTo(this)) {
        notices_.beep();
        pointAt(box);
        return;
    }
    // A flash value out of range can only come from a stored default edited by hand. The user
    // cannot see that box, so name the field and its range instead of focusing nothing.
    box->selectAll();
    notices_.message(this, failure.message, DialogNotices::Icon::Warning, {});
}

void frmOptions::reportPumpTotal(const ValidationFailure& failure) {
    QLineEdit* box = fieldBox(failure.field);
    notices_.message(this, failure.message, DialogNotices::Icon::Information, [this, box] {
        box->selectAll();
        // The pump boxes are out of sight; focus only what the user can see.
        if (box->isVisibleTo(this)) box->setFocus(Qt::OtherFocusReason);
    });
}

}  // namespace vantorix
