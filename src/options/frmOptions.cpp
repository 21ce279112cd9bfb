// The options dialog's controls and layout.
#include "options/frmOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

#include "options/GuiWellGrid.h"
#include "ui/GuiDialogButtons.h"

namespace vantorix {

namespace {

constexpr int kSpinnerSize_px = 10;
constexpr int kRepeatBoxWidth_px = 52;
constexpr int kFlashBoxWidth_px = 60;

// A small black triangle on grey, pointing up or down.
QPixmap spinnerPicture(bool up) {
    QPixmap picture(kSpinnerSize_px, kSpinnerSize_px);
    picture.fill(QColor(192, 192, 192));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPolygonF triangle = up ? QPolygonF({QPointF(1, 7.5), QPointF(9, 7.5), QPointF(5, 2.5)})
                                  : QPolygonF({QPointF(1, 2.5), QPointF(9, 2.5), QPointF(5, 7.5)});
    painter.drawPolygon(triangle);
    return picture;
}

QToolButton* makeSpinner(QWidget* parent, const char* name, bool up) {
    auto* spinner = new QToolButton(parent);
    spinner->setObjectName(QLatin1String(name));
    spinner->setIcon(QIcon(spinnerPicture(up)));
    spinner->setIconSize(QSize(kSpinnerSize_px, kSpinnerSize_px));
    spinner->setFixedSize(kSpinnerSize_px + 4, kSpinnerSize_px + 2);
    spinner->setAutoRaise(true);
    spinner->setFocusPolicy(Qt::NoFocus);
    spinner->setToolTip(up ? QStringLiteral("One more") : QStringLiteral("One less"));
    // Hidden in single-run mode without moving the text boxes.
    QSizePolicy policy = spinner->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    spinner->setSizePolicy(policy);
    return spinner;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFixedWidth(width);
    box->setAlignment(Qt::AlignRight);
    return box;
}

// The up picture above the down one, beside a text box.
QWidget* spinnerPair(QWidget* parent, QToolButton* up, QToolButton* down) {
    auto* pair = new QWidget(parent);
    auto* column = new QVBoxLayout(pair);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up);
    column->addWidget(down);
    return pair;
}

struct FlashRow {
    OptionField field;
    const char* caption;
    const char* box;
};

// Top to bottom as the flash frame lists them.
constexpr std::array<FlashRow, 8> kFlashRows{{
    {OptionField::Presamples, "P&reInject (0 - 1):", "txtPresamples"},
    {OptionField::Pump1Volume, "Pump &1 Vol (0 - 250):", "txtPump1Volume"},
    {OptionField::Pump2Volume, "Pump &2 Vol (0 - 250):", "txtPump2Volume"},
    {OptionField::PostInjectDelay,
     "Post &Inject Delay:           (0 - 5000 msec):", "txtPostInjectDelay"},
    {OptionField::Postsamples, "Pos&tInject (0 - 25):", "txtPostsamples"},
    {OptionField::Dwell, "&Dwell (0-500 x 0.1sec)", "txtDwell"},
    {OptionField::Prime1, "&Prime Pump 1: (0 - 25):", "txtPrime1"},
    {OptionField::Prime2, "Prime Pump 2: (&0 - 25):", "txtPrime2"},
}};

}  // namespace

frmOptions::frmOptions(DialogNotices& notices, QWidget* parent)
    : QDialog(parent), notices_(notices) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    // An ordinary sizable window, with minimise and maximise buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    buildControls();
    connectControls();
    // A fresh dialog: flash reaction, single run, no extra sensitivity, no well selected.
    setReaction(kReactionFlash);
    setRepeatMode(false);
    setSensitive(0);
    resize(sizeHint());
    centreOnScreen(*this);
}

void frmOptions::buildControls() {
    std::tie(cmdOK, cmdCancel) = okCancelButtons(*this);

    QGroupBox* repeats = buildRepeatsFrame();

    auto* sensitivity = new QGroupBox(this);
    sensitivity->setObjectName(QStringLiteral("fraSensitivity"));
    optSensitivity = new QCheckBox(
        QStringLiteral(" Check for &Extra Sensitivity (will increase test time)"), sensitivity);
    optSensitivity->setObjectName(QStringLiteral("optSensitivity"));
    auto* sensitivityLayout = new QVBoxLayout(sensitivity);
    sensitivityLayout->setContentsMargins(8, 4, 8, 4);
    sensitivityLayout->addWidget(optSensitivity);

    auto* wells = new QGroupBox(QStringLiteral("Select Wells"), this);
    wells->setObjectName(QStringLiteral("fraSelectWells"));
    grdWells = new GuiWellGrid(wells);
    auto* wellsLayout = new QVBoxLayout(wells);
    wellsLayout->addWidget(grdWells, 0, Qt::AlignLeft | Qt::AlignTop);

    fraReaction = buildReactionFrame();
    fraFlashConfiguration = buildFlashFrame();
    layOutControls(repeats, sensitivity, wells);
}

QGroupBox* frmOptions::buildRepeatsFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Repeats"), this);
    frame->setObjectName(QStringLiteral("fraRepeats"));
    optSingleRead = new QRadioButton(QStringLiteral("&Single Run"), frame);
    optSingleRead->setObjectName(QStringLiteral("optSingleRead"));
    optRepeatMode = new QRadioButton(QStringLiteral("&Multiple Runs"), frame);
    optRepeatMode->setObjectName(QStringLiteral("optRepeatMode"));
    lblRepeats = new QLabel(QStringLiteral("Number of Runs (2-255)"), frame);
    lblRepeats->setObjectName(QStringLiteral("lblRepeats"));
    lblDelay = new QLabel(QStringLiteral("Delay between Runs (0-999sec)"), frame);
    lblDelay->setObjectName(QStringLiteral("lblDelay"));
    QLineEdit* txtRepeats = makeBox(frame, QStringLiteral("txtRepeats"), kRepeatBoxWidth_px);
    QLineEdit* txtDelay = makeBox(frame, QStringLiteral("txtDelay"), kRepeatBoxWidth_px);
    fieldBoxes_[static_cast<size_t>(OptionField::Repeats)] = txtRepeats;
    fieldBoxes_[static_cast<size_t>(OptionField::Delay)] = txtDelay;
    picRunsSpinUp = makeSpinner(frame, "picRunsSpinUp", true);
    picRunsSpinDown = makeSpinner(frame, "picRunsSpinDown", false);
    picDelaySpinUp = makeSpinner(frame, "picDelaySpinUp", true);
    picDelaySpinDown = makeSpinner(frame, "picDelaySpinDown", false);

    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(8);
    grid->addWidget(optSingleRead, 0, 0, 1, 3);
    grid->addWidget(optRepeatMode, 1, 0, 1, 3);
    grid->addWidget(lblRepeats, 2, 0);
    grid->addWidget(txtRepeats, 2, 1);
    grid->addWidget(spinnerPair(frame, picRunsSpinUp, picRunsSpinDown), 2, 2);
    grid->addWidget(lblDelay, 3, 0);
    grid->addWidget(txtDelay, 3, 1);
    grid->addWidget(spinnerPair(frame, picDelaySpinUp, picDelaySpinDown), 3, 2);
    grid->setColumnStretch(3, 1);
    return frame;
}

QGroupBox* frmOptions::buildReactionFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Reaction"), this);
    frame->setObjectName(QStringLiteral("fraReaction"));
    optGlow = new QRadioButton(QStringLiteral("&Glow"), frame);
    optGlow->setObjectName(QStringLiteral("optGlow"));
    optFlash = new QRadioButton(QStringLiteral("&Flash"), frame);
    optFlash->setObjectName(QStringLiteral("optFlash"));
    auto* column = new QVBoxLayout(frame);
    column->addWidget(optGlow);
    column->addWidget(optFlash);
    // Carried, filled and read back, but never shown: the instrument's reaction type is set
    // only through the stored defaults.
    frame->hide();
    return frame;
}

QGroupBox* frmOptions::buildFlashFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Flash Configuration"), this);
    frame->setObjectName(QStringLiteral("fraFlashConfiguration"));
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (const FlashRow& r : kFlashRows) {
        auto* label = new QLabel(QString::fromLatin1(r.caption), frame);
        QLineEdit* box = makeBox(frame, QLatin1String(r.box), kFlashBoxWidth_px);
        label->setBuddy(box);
        fieldBoxes_[static_cast<size_t>(r.field)] = box;
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    // Like the reaction type: carried and checked on OK, never shown.
    frame->hide();
    return frame;
}

void frmOptions::layOutControls(QGroupBox* repeats, QGroupBox* sensitivity, QGroupBox* wells) {
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(16);
    buttons->addWidget(cmdOK);
    buttons->addSpacing(12);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(12);
    grid->addLayout(buttons, 0, 0);
    grid->addWidget(repeats, 0, 1);
    grid->addWidget(sensitivity, 1, 0, 1, 2);
    grid->addWidget(wells, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
}

void frmOptions::connectControls() {
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(optRepeatMode, &QRadioButton::toggled, this, &frmOptions::showRepeatFields);
    QLineEdit* txtRepeats = fieldBox(OptionField::Repeats);
    QLineEdit* txtDelay = fieldBox(OptionField::Delay);
    // The runs count never steps below 2; the delay steps freely and OK judges it.
    connect(picRunsSpinUp, &QToolButton::clicked, this, [this, txtRepeats] {
        step(
            txtRepeats, [](double) { return true; }, +1);
    });
    connect(picRunsSpinDown, &QToolButton::clicked, this, [this, txtRepeats] {
        step(
            txtRepeats, [](double v) { return v > 2; }, -1);
    });
    connect(picDelaySpinUp, &QToolButton::clicked, this, [this, txtDelay] {
        step(
            txtDelay, [](double) { return true; }, +1);
    });
    connect(picDelaySpinDown, &QToolButton::clicked, this, [this, txtDelay] {
        step(
            txtDelay, [](double) { return true; }, -1);
    });
}

}  // namespace vantorix
