#include "analysis/frmLayoutEditor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "analysis/LayoutFile.h"

namespace vantorix {

namespace {

constexpr int kChooseOnly = 100;  // the tool that paints nothing
constexpr WellRole kTools[] = {WellRole::Blank,    WellRole::Standard, WellRole::Positive,
                               WellRole::Negative, WellRole::Sample,   WellRole::Empty};

std::optional<double> positiveNumber(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && v > 0 ? std::optional(v) : std::nullopt;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

frmLayoutEditor::frmLayoutEditor(const WellLayout& layout, QWidget* parent)
    : QDialog(parent), layout_(layout) {
    setObjectName(QStringLiteral("frmLayoutEditor"));
    setWindowTitle(QStringLiteral("Plate Layout"));
    plate_ = new GuiLayoutPlate(this);
    plate_->setPlateLayout(layout_);
    connect(plate_, &GuiLayoutPlate::blockChosen, this, &frmLayoutEditor::chosen);
    lblMessage_ = new QLabel(this);
    lblMessage_->setObjectName(QStringLiteral("lblLayoutMessage"));
    lblMessage_->setWordWrap(true);
    auto* hint = new QLabel(
        QStringLiteral("Click a well, drag over a block, or click (or drag over) row letters or "
                       "column numbers; the corner takes the whole plate."),
        this);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: #555"));
    auto* left = new QVBoxLayout;
    left->addWidget(plate_, 1);
    left->addWidget(hint);
    left->addWidget(lblMessage_);
    auto* side = new QVBoxLayout;
    side->addWidget(buildPaintBox());
    side->addWidget(buildSeriesBox());
    side->addWidget(buildLeaveOutBox());
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addLayout(left, 1);
    row->addLayout(side);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(row, 1);
    outer->addWidget(buildFileRow());
    setTool(WellRole::Sample);
    resize(1100, 600);
}

QWidget* frmLayoutEditor::buildPaintBox() {
    auto* box = new QGroupBox(QStringLiteral("Paint wells as"), this);
    auto* grid = new QGridLayout;
    tools_ = new QButtonGroup(box);
    int i = 0;
    for (WellRole role : kTools) {
        QString caption = roleKey(role);
        caption[0] = caption[0].toUpper();
        auto* r = new QRadioButton(caption, box);
        r->setObjectName(QStringLiteral("optTool") + caption);
        tools_->addButton(r, int(role));
        grid->addWidget(r, i / 3, i % 3);
        ++i;
    }
    auto* choose = new QRadioButton(QStringLiteral("Choose only"), box);
    choose->setObjectName(QStringLiteral("optToolChoose"));
    choose->setToolTip(
        QStringLiteral("Choose wells for a series or to leave out, painting nothing"));
    tools_->addButton(choose, kChooseOnly);
    grid->addWidget(choose, 2, 0, 1, 3);
    txtName_ = new QLineEdit(box);
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtName_->setPlaceholderText(QStringLiteral("groups replicates, e.g. Serum 1"));
    txtConcentration_ = new QLineEdit(box);
    txtConcentration_->setObjectName(QStringLiteral("txtConcentration"));
    txtConcentration_->setPlaceholderText(QStringLiteral("standards, e.g. 12.5"));
    spnDilution_ = new QDoubleSpinBox(box);
    spnDilution_->setObjectName(QStringLiteral("spnDilution"));
    spnDilution_->setRange(0.001, 1e6);
    spnDilution_->setDecimals(3);
    spnDilution_->setValue(1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), txtName_);
    form->addRow(QStringLiteral("Concentration:"), txtConcentration_);
    form->addRow(QStringLiteral("Dilution factor:"), spnDilution_);
    auto* v = new QVBoxLayout(box);
    v->addLayout(grid);
    v->addLayout(form);
    return box;
}

QWidget* frmLayoutEditor::buildSeriesBox() {
    auto* box = new QGroupBox(QStringLiteral("Standard series in the chosen wells"), this);
    txtFirst_ = new QLineEdit(QStringLiteral("100"), box);
    txtFirst_->setObjectName(QStringLiteral("txtSeriesFirst"));
    txtFactor_ = new QLineEdit(QStringLiteral("2"), box);
    txtFactor_->setObjectName(QStringLiteral("txtSeriesFactor"));
    cboDirection_ = new QComboBox(box);
    cboDirection_->setObjectName(QStringLiteral("cboSeriesDirection"));
    cboDirection_->addItems({QStringLiteral("Falling (divide by the factor)"),
                             QStringLiteral("Rising (multiply by the factor)")});
    spnReplicates_ = new QSpinBox(box);
    spnReplicates_->setObjectName(QStringLiteral("spnSeriesReplicates"));
    spnReplicates_->setRange(1, kPlateColumns);
    spnReplicates_->setValue(2);
    cboReplicates_ = new QComboBox(box);
    cboReplicates_->setObjectName(QStringLiteral("cboSeriesReplicates"));
    cboReplicates_->addItems({QStringLiteral("across"), QStringLiteral("down")});
    auto* replicates = new QHBoxLayout;
    replicates->addWidget(spnReplicates_);
    replicates->addWidget(cboReplicates_, 1);
    auto* fill = button(box, "cmdFillSeries", QStringLiteral("&Fill Series"));
    connect(fill, &QPushButton::clicked, this, &frmLayoutEditor::fillSeries);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("First concentration:"), txtFirst_);
    form->addRow(QStringLiteral("Factor:"), txtFactor_);
    form->addRow(QStringLiteral("Direction:"), cboDirection_);
    form->addRow(QStringLiteral("Replicates:"), replicates);
    form->addRow(QString(), fill);
    return box;
}

QWidget* frmLayoutEditor::buildLeaveOutBox() {
    auto* box = new QGroupBox(QStringLiteral("Leave the chosen wells out"), this);
    txtReason_ = new QLineEdit(box);
    txtReason_->setObjectName(QStringLiteral("txtExclusionReason"));
    txtReason_->setPlaceholderText(QStringLiteral("reason, e.g. bubble in well"));
    auto* out = button(box, "cmdLeaveOut", QStringLiteral("&Leave Out"));
    auto* in = button(box, "cmdTakeBackIn", QStringLiteral("&Take Back In"));
    connect(out, &QPushButton::clicked, this, &frmLayoutEditor::leaveOut);
    connect(in, &QPushButton::clicked, this, &frmLayoutEditor::takeBackIn);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(out);
    buttons->addWidget(in);
    auto* v = new QVBoxLayout(box);
    v->addWidget(txtReason_);
    v->addLayout(buttons);
    return box;
}

QWidget* frmLayoutEditor::buildFileRow() {
    auto* row = new QWidget(this);
    auto* open = button(row, "cmdOpenLayout", QStringLiteral("&Open Layout..."));
    auto* save = button(row, "cmdSaveLayout", QStringLiteral("&Save Layout As..."));
    const QString filter = QStringLiteral("Layout files (*.csv);;All files (*)");
    connect(open, &QPushButton::clicked, this, [this, filter] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Open Layout"), QString(), filter);
        if (!path.isEmpty()) openLayout(path);
    });
    connect(save, &QPushButton::clicked, this, [this, filter] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Layout"),
                                                          QStringLiteral("layout.csv"), filter);
        if (!path.isEmpty()) saveLayout(path);
    });
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, row);
    ok->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Use for Analysis"));
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ok, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(open);
    h->addWidget(save);
    h->addStretch(1);
    h->addWidget(ok);
    return row;
}

void frmLayoutEditor::setTool(std::optional<WellRole> role) {
    tools_->button(role ? int(*role) : kChooseOnly)->setChecked(true);
}

void frmLayoutEditor::chosen(const WellBlock& block) {
    lastBlock_ = block;
    plate_->setHighlight({block.top(), block.left(), block.bottom(), block.right()});
    const int tool = tools_->checkedId();
    if (tool == kChooseOnly || tool < 0) return say({});
    WellAssignment paint;
    paint.role = WellRole(tool);
    paint.name = txtName_->text().trimmed();
    paint.dilution = spnDilution_->value();
    paint.concentration = positiveNumber(txtConcentration_->text());
    if (paint.role == WellRole::Standard && !paint.concentration)
        say(
            QStringLiteral("These standards have no concentration yet: give one, or fill a "
                           "series into them."));
    else
        say({});
    paintBlock(layout_, block, paint);
    showLayout(layout_);
}

void frmLayoutEditor::fillSeries() {
    if (lastBlock_.row0 < 0)
        return say(QStringLiteral("Choose the wells of the series first."), true);
    StandardSeries s;
    s.first = positiveNumber(txtFirst_->text()).value_or(0);
    s.factor = txtFactor_->text().trimmed().toDouble();
    s.rising = cboDirection_->currentIndex() == 1;
    s.replicates = spnReplicates_->value();
    s.acrossRows = cboReplicates_->currentIndex() == 0;
    const QString problem = fillStandardSeries(layout_, lastBlock_, s);
    say(problem, !problem.isEmpty());
    showLayout(layout_);
}

void frmLayoutEditor::leaveOut() {
    if (lastBlock_.row0 < 0)
        return say(QStringLiteral("Choose the wells to leave out first."), true);
    if (txtReason_->text().trimmed().isEmpty())
        return say(QStringLiteral("Say why the wells are left out."), true);
    excludeBlock(layout_, lastBlock_, txtReason_->text());
    say({});
    showLayout(layout_);
}

void frmLayoutEditor::takeBackIn() {
    if (lastBlock_.row0 < 0) return;
    excludeBlock(layout_, lastBlock_, {});
    showLayout(layout_);
}

QString frmLayoutEditor::openLayout(const QString& path) {
    const LayoutRead read = readLayoutFile(path);
    if (!read.ok) {
        say(read.message, true);
        return read.message;
    }
    layout_ = read.layout;
    say(QStringLiteral("Opened %1.").arg(path));
    showLayout(layout_);
    return {};
}

QString frmLayoutEditor::saveLayout(const QString& path) {
    const QString problem = writeLayoutFile(layout_, path);
    say(problem.isEmpty() ? QStringLiteral("Saved %1.").arg(path) : problem, !problem.isEmpty());
    return problem;
}

void frmLayoutEditor::showLayout(const WellLayout& layout) {
    plate_->setPlateLayout(layout);
}

void frmLayoutEditor::say(const QString& message, bool problem) {
    lblMessage_->setStyleSheet(problem ? QStringLiteral("color: #b00020") : QString());
    lblMessage_->setText(message);
}

}  // namespace vantorix
