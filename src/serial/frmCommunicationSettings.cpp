#include "serial/frmCommunicationSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>
#include <tuple>
#include <utility>

#include "serial/LineSettings.h"
#include "serial/SerialPort.h"
#include "ui/GuiDialogButtons.h"

namespace vantorix {

namespace {

constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 4;
constexpr int kDeviceBoxWidth_px = 220;

int checkedIndex(const std::vector<QRadioButton*>& buttons, int fallback) {
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) return static_cast<int>(i);
    return fallback;
}

void check(const std::vector<QRadioButton*>& buttons, int index) {
    if (index >= 0 && index < static_cast<int>(buttons.size())) buttons[index]->setChecked(true);
}

}  // namespace

frmCommunicationSettings::frmCommunicationSettings(const SerialPort& port, bool burstMode,
                                                   DialogNotices& notices, DeviceLister lister,
                                                   QWidget* parent)
    : QDialog(parent), notices_(notices), lister_(std::move(lister)) {
    setObjectName(QStringLiteral("frmCommunicationSettings"));
    setWindowTitle(QStringLiteral("Communication Settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    buildControls();
    // What a fresh dialog shows before it is filled: COM 2 at 9600,N,8,1, burst mode off.
    setComPort(2);
    setSettings(LineSettings().compose());
    setBurstMode(false);
    useDevice(false);
    listDevices();

    setComPort(static_cast<qint16>(port.portNumber()));
    setSettings(port.settings());
    setBurstMode(burstMode);
    setPortName(port.portName());
    fraAdvanced->hide();

    adjustSize();
    centreOnScreen(*this);
}

void frmCommunicationSettings::buildControls() {
    QGroupBox* portFrame = buildPortFrame();
    buildHiddenFrames();
    std::tie(cmdOK, cmdCancel) = okCancelButtons(*this);
    connect(cmdOK, &QPushButton::clicked, this, &frmCommunicationSettings::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    layOutControls(portFrame);
}

QGroupBox* frmCommunicationSettings::buildPortFrame() {
    auto* frame = new QGroupBox(QStringLiteral("COM Port"), this);
    frame->setObjectName(QStringLiteral("fraComPort"));
    auto* grid = new QGridLayout(frame);
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        optComPort[n] = new QRadioButton(QStringLiteral("COM %1").arg(n), frame);
        optComPort[n]->setObjectName(QStringLiteral("optComPort%1").arg(n));
        grid->addWidget(optComPort[n], n - kFirstComPort, 0, 1, 2);
    }
    chkPortName = new QCheckBox(QStringLiteral("&Device:"), frame);
    chkPortName->setObjectName(QStringLiteral("chkPortName"));
    chkPortName->setToolTip(
        QStringLiteral("Use a serial device of this machine instead of COM 1 to COM 4"));
    cboPortName = new QComboBox(frame);
    cboPortName->setObjectName(QStringLiteral("cboPortName"));
    cboPortName->setEditable(true);
    cboPortName->setInsertPolicy(QComboBox::NoInsert);
    cboPortName->setMinimumWidth(kDeviceBoxWidth_px);
    cboPortName->lineEdit()->setPlaceholderText(QStringLiteral("choose or type a path"));
    lblPortDescription = new QLabel(frame);
    lblPortDescription->setObjectName(QStringLiteral("lblPortDescription"));
    // The dialog keeps its size when the description comes and goes.
    QSizePolicy policy = lblPortDescription->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    lblPortDescription->setSizePolicy(policy);
    lblPortDescription->setMinimumHeight(lblPortDescription->fontMetrics().height());
    const int deviceRow = kLastComPort - kFirstComPort + 1;
    grid->addWidget(chkPortName, deviceRow, 0);
    grid->addWidget(cboPortName, deviceRow, 1);
    grid->addWidget(lblPortDescription, deviceRow + 1, 1);
    grid->setColumnStretch(1, 1);
    connect(chkPortName, &QCheckBox::toggled, this, &frmCommunicationSettings::useDevice);
    connect(cboPortName, &QComboBox::currentTextChanged, this,
            &frmCommunicationSettings::showDeviceDescription);
    return frame;
}

QGroupBox* frmCommunicationSettings::buildLineGroup(const char* name, const QString& caption,
                                                    const char* buttonName,
                                                    const char* const* captions, int count,
                                                    std::vector<QRadioButton*>& buttons) {
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(QLatin1String(name));
    auto* column = new QVBoxLayout(group);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(captions[i]), group);
        button->setObjectName(QLatin1String(buttonName) + QString::number(i));
        column->addWidget(button);
        buttons.push_back(button);
    }
    // The line settings are the instrument's and are not the user's to change.
    group->hide();
    return group;
}

void frmCommunicationSettings::buildHiddenFrames() {
    using L = LineSettings;
    buildLineGroup("fraBaudRate", QStringLiteral("Baud Rate"), "optBaudRate",
                   L::kBaudCaptions.data(), int(L::kBaudCaptions.size()), optBaudRate);
    buildLineGroup("fraParity", QStringLiteral("Parity"), "optParity", L::kParityCaptions.data(),
                   int(L::kParityCaptions.size()), optParity)
        ->setEnabled(false);
    buildLineGroup("fraWordLength", QStringLiteral("Word Len"), "optWordLength",
                   L::kWordLengthCaptions.data(), int(L::kWordLengthCaptions.size()), optWordLength)
        ->setEnabled(false);
    buildLineGroup("fraStopBits", QStringLiteral("Stop Bits"), "optStopBits",
                   L::kStopBitsCaptions.data(), int(L::kStopBitsCaptions.size()), optStopBits)
        ->setEnabled(false);

    fraAdvanced = new QGroupBox(QStringLiteral("Advanced"), this);
    fraAdvanced->setObjectName(QStringLiteral("fraAdvanced"));
    chkBurstMode =
        new QCheckBox(QStringLiteral("Burst Mode (requires advanced UART)"), fraAdvanced);
    chkBurstMode->setObjectName(QStringLiteral("chkBurstMode"));
    (new QVBoxLayout(fraAdvanced))->addWidget(chkBurstMode);
    // Burst mode changes nothing on the line; it is only carried and stored.
    fraAdvanced->setEnabled(false);
    fraAdvanced->hide();
}

void frmCommunicationSettings::layOutControls(QGroupBox* portFrame) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addSpacing(16);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(portFrame);
    column->addSpacing(4);
    column->addLayout(buttons);
}

void frmCommunicationSettings::listDevices() {
    // The adapter chosen before keeps its choice when it now has another ttyUSB number.
    const QString chosen = rememberedName(cboPortName->currentText().trimmed());
    devices_ = lister_ ? lister_() : std::vector<SerialDevice>{};
    const QSignalBlocker quiet(cboPortName);
    cboPortName->clear();
    for (const SerialDevice& d : devices_) cboPortName->addItem(d.systemLocation);
    // A typed path (a pseudo-terminal is never listed) survives the refresh.
    cboPortName->setCurrentIndex(-1);
    cboPortName->setEditText(shownName(chosen));
    showDeviceDescription();
}

const SerialDevice* frmCommunicationSettings::listedDevice(const QString& path) const {
    if (path.isEmpty()) return nullptr;
    for (const SerialDevice& d : devices_)
        if (d.systemLocation == path || d.stablePath == path) return &d;
    return nullptr;
}

QString frmCommunicationSettings::rememberedName(const QString& path) const {
    const SerialDevice* d = listedDevice(path);
    return d && !d->stablePath.isEmpty() ? d->stablePath : path;
}

QString frmCommunicationSettings::shownName(const QString& path) const {
    const SerialDevice* d = listedDevice(path);
    return d ? d->systemLocation : path;
}

void frmCommunicationSettings::showDeviceDescription() {
    const QString path = cboPortName->currentText().trimmed();
    QString text;
    if (!path.isEmpty()) text = QStringLiteral("(not listed: typed path)");
    if (const SerialDevice* d = listedDevice(path)) {
        text = d->description.isEmpty() ? QStringLiteral("Serial port") : d->description;
        if (!d->serialNumber.isEmpty())
            text += QStringLiteral(", serial number ") + d->serialNumber;
    }
    if (devices_.empty() && path.isEmpty()) text = QStringLiteral("(no serial ports found)");
    lblPortDescription->setText(text);
    lblPortDescription->setToolTip(rememberedName(path));
}

void frmCommunicationSettings::useDevice(bool on) {
    cboPortName->setEnabled(on);
    lblPortDescription->setVisible(on);
    // While a device is named the COM number is kept but not used.
    for (int n = kFirstComPort; n <= kLastComPort; ++n) optComPort[n]->setEnabled(!on);
    if (on && isVisible()) cboPortName->setFocus(Qt::OtherFocusReason);
}

void frmCommunicationSettings::ShowForm(std::function<void(bool)> done) {
    pending_ = std::move(done);
    tag_.clear();
    listDevices();
    open();
}

void frmCommunicationSettings::done(int result) {
    tag_ = result == QDialog::Accepted ? QStringLiteral("True") : QStringLiteral("False");
    QDialog::done(result);
    if (auto callback = std::exchange(pending_, nullptr)) callback(result == QDialog::Accepted);
}

QString frmCommunicationSettings::deviceProblem() const {
    if (!chkPortName->isChecked()) return {};
    const QString path = cboPortName->currentText().trimmed();
    if (path.isEmpty()) return kNoDeviceText;
    if (listedDevice(path)) return {};
    // Names such as "COM7" are not files; a path must name something that exists.
    if (path.startsWith(u'/') && !QFileInfo::exists(path))
        return QStringLiteral("There is no device %1.").arg(path);
    return {};
}

void frmCommunicationSettings::cmdOK_Click() {
    const QString problem = deviceProblem();
    if (problem.isEmpty()) {
        accept();
        return;
    }
    notices_.message(this, problem, DialogNotices::Icon::Warning, [this] {
        cboPortName->setFocus(Qt::OtherFocusReason);
        cboPortName->lineEdit()->selectAll();
    });
}

qint16 frmCommunicationSettings::comPort() const {
    for (int n = kLastComPort; n >= kFirstComPort; --n)
        if (optComPort[n]->isChecked()) return static_cast<qint16>(n);
    return 0;
}

void frmCommunicationSettings::setComPort(qint16 n) {
    if (n >= kFirstComPort && n <= kLastComPort) optComPort[n]->setChecked(true);
}

QString frmCommunicationSettings::Settings() const {
    LineSettings s;
    s.baudIndex = checkedIndex(optBaudRate, s.baudIndex);
    s.parityIndex = checkedIndex(optParity, s.parityIndex);
    s.wordLengthIndex = checkedIndex(optWordLength, s.wordLengthIndex);
    s.stopBitsIndex = checkedIndex(optStopBits, s.stopBitsIndex);
    return s.compose();
}

void frmCommunicationSettings::setSettings(const QString& text) {
    LineSettings s = LineSettings::fromString(Settings());
    s.parse(text);
    check(optBaudRate, s.baudIndex);
    check(optParity, s.parityIndex);
    check(optWordLength, s.wordLengthIndex);
    check(optStopBits, s.stopBitsIndex);
}

bool frmCommunicationSettings::BurstMode() const {
    return chkBurstMode->isChecked();
}

void frmCommunicationSettings::setBurstMode(bool on) {
    chkBurstMode->setChecked(on);
}

QString frmCommunicationSettings::PortName() const {
    return chkPortName->isChecked() ? rememberedName(cboPortName->currentText().trimmed())
                                    : QString();
}

void frmCommunicationSettings::setPortName(const QString& name) {
    chkPortName->setChecked(!name.isEmpty());
    useDevice(!name.isEmpty());
    cboPortName->setEditText(shownName(name));
}

CommunicationChoice frmCommunicationSettings::choice() const {
    return {comPort(), Settings(), BurstMode(), PortName()};
}

void applyCommunicationDialog(const frmCommunicationSettings& dialog, SerialPort& port,
                              bool& burstMode, SettingsStore& store) {
    std::optional<QSettingsStore> systemStore;
    applyCommunicationChoice(dialog.choice(), port, burstMode, store, [&](int newPort) {
        DisableComFifo(newPort, PlatformVersion::current(), [&]() -> SettingsStore& {
            if (!systemStore) systemStore.emplace(kFifoApplication, kFifoApplication);
            return *systemStore;
        });
    });
}

}  // namespace vantorix
