#include "firmware/frmDownloadNewFirmware.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "firmware/FirmwareTexts.h"
#include "kernel/Settings.h"
#include "ui/GuiDialogButtons.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

using namespace firmware;

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QFrame* panel(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

}  // namespace

frmDownloadNewFirmware::frmDownloadNewFirmware(SerialPort& comPort, Scheduler& scheduler,
                                               Dialogs& dialogs, SettingsStore& settings,
                                               FirmwareImageSource imageSource, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      settings_(settings),
      download_(std::make_unique<FirmwareDriver>(comPort, scheduler,
                                                 static_cast<FirmwareFrontEnd&>(*this))) {
    setObjectName(QStringLiteral("frmDownloadNewFirmware"));
    setWindowTitle(QStringLiteral("Download New Firmware"));
    download_->setImageSource(std::move(imageSource));

    auto* picAncor = new QWidget(this);  // the panels' common place: one shows at a time
    picAncor->setObjectName(QStringLiteral("picAncor"));
    auto* stack = new QStackedLayout(picAncor);
    buildPasswordPanel();
    buildDownloadPanel();
    buildServicePanel();
    for (QFrame* f : {framePassword, frameSendStartCommand, Frame1}) stack->addWidget(f);
    stack->setStackingMode(QStackedLayout::StackAll);

    cmdOK = button(this, "cmdOK", QStringLiteral("&Done"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    connect(cmdOK, &QPushButton::clicked, this, &frmDownloadNewFirmware::cmdOK_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label2);
    bottom->addWidget(Label3);
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picAncor);
    layout->addLayout(bottom);
    resize(460, 240);
}

frmDownloadNewFirmware::~frmDownloadNewFirmware() = default;

void frmDownloadNewFirmware::buildPasswordPanel() {
    framePassword = panel(this, "framePassword");
    auto* label = new QLabel(QStringLiteral("Password:"), framePassword);
    Text1 = new QLineEdit(framePassword);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    connect(Text1, &QLineEdit::returnPressed, this, &frmDownloadNewFirmware::cmdOK_Click);
    auto* layout = new QHBoxLayout(framePassword);
    layout->addWidget(label);
    layout->addWidget(Text1);
}

void frmDownloadNewFirmware::buildDownloadPanel() {
    frameSendStartCommand = panel(this, "frameSendStartCommand");
    cmdSendStartCommand = button(frameSendStartCommand, "cmdSendStartCommand", kStartCaption);
    lblRx = new QLabel(frameSendStartCommand);
    lblRx->setObjectName(QStringLiteral("lblRx"));
    lblPleaseWait = new QLabel(kPleaseWait, frameSendStartCommand);
    lblPleaseWait->setObjectName(QStringLiteral("lblPleaseWait"));
    lblPleaseWait->setWordWrap(true);
    connect(cmdSendStartCommand, &QPushButton::clicked, this,
            &frmDownloadNewFirmware::cmdSendStartCommand_Click);
    auto* layout = new QVBoxLayout(frameSendStartCommand);
    lblImage = new QLabel(frameSendStartCommand);
    lblImage->setObjectName(QStringLiteral("lblImage"));
    layout->addWidget(cmdSendStartCommand);
    layout->addWidget(lblImage);
    layout->addWidget(lblRx);
    layout->addWidget(lblPleaseWait);
}

void frmDownloadNewFirmware::buildServicePanel() {
    Frame1 = panel(this, "Frame1");
    auto* Command12 = button(Frame1, "Command12", QStringLiteral("&OK"));
    auto* Command3 = button(Frame1, "Command3", QStringLiteral("&Ok"));
    auto* Command4 = button(Frame1, "Command4", QStringLiteral("ack"));
    auto* Command5 = button(Frame1, "Command5", QStringLiteral("transfer /s melto.exe"));
    auto* Command7 = button(Frame1, "Command7", QStringLiteral("ack"));
    auto* Command8 = button(Frame1, "Command8", QStringLiteral("."));
    Text2 = new QLineEdit(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    connect(Command12, &QPushButton::clicked, this, &frmDownloadNewFirmware::Command12_Click);
    connect(Command3, &QPushButton::clicked, this, [this] {
        applyPortSetting();
        download_->serviceReopen();
    });
    connect(Command4, &QPushButton::clicked, this, [this] { download_->serviceSend(kNewLine); });
    connect(Command5, &QPushButton::clicked, this, [this] { download_->serviceStartShellSend(); });
    connect(Command7, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const int code = Text2->text().trimmed().toInt(&ok);
        if (!ok || code < 0 || code > 255) {
            QApplication::beep();
            Text2->selectAll();
            Text2->setFocus();
            return;
        }
        download_->serviceSend(QByteArray(1, static_cast<char>(code)));
    });
    connect(Command8, &QPushButton::clicked, this, [this] { download_->serviceSend("."); });
    auto* layout = new QGridLayout(Frame1);
    layout->addWidget(Command12, 0, 0);
    layout->addWidget(Command3, 0, 1);
    layout->addWidget(Command4, 0, 2);
    layout->addWidget(Command5, 1, 0, 1, 2);
    layout->addWidget(Command8, 1, 2);
    layout->addWidget(Text2, 2, 0, 1, 2);
    layout->addWidget(Command7, 2, 2);
}

void frmDownloadNewFirmware::showDialog() {
    Text1->clear();
    Label2->clear();
    Label3->clear();
    showPanel(framePassword);
    download_->load();
    centreOnScreen(*this);
    setModal(true);
    open();
    Text1->setFocus();
}

void frmDownloadNewFirmware::showPanel(QFrame* shown) {
    for (QFrame* f : {framePassword, frameSendStartCommand, Frame1}) f->setVisible(f == shown);
}

void frmDownloadNewFirmware::cmdOK_Click() {
    const QString code = Text1->text();
    if (code == QLatin1String(kDownloadCode)) {
        Text1->clear();
        showPanel(frameSendStartCommand);
    } else if (code == QLatin1String(kServiceCode)) {
        Text1->clear();
        showPanel(Frame1);
    } else {
        // A wrong code closes the dialog without a word, as any Done does.
        if (download_->started()) dialogs_.inform(parentWidget(), kReboot);
        unload();
    }
}

void frmDownloadNewFirmware::cmdSendStartCommand_Click() {
    download_->setServiceFlag(false);
    applyPortSetting();
    download_->StartOrCancelDownload();
}

void frmDownloadNewFirmware::Command12_Click() {
    download_->setServiceFlag(true);
    applyPortSetting();
    download_->StartOrCancelDownload();
    download_->clearStarted();
}

void frmDownloadNewFirmware::applyPortSetting() {
    const CommunicationSettings comm = loadCommunication(settings_);
    download_->setPort(comm.ComPort, comm.PortName);
}

void frmDownloadNewFirmware::unload() {
    download_->closePort();
    done(QDialog::Accepted);
}

void frmDownloadNewFirmware::closeEvent(QCloseEvent* event) {
    // Only Done leaves the dialog, and only while it is enabled.
    event->ignore();
    if (cmdOK->isEnabled()) {
        Text1->clear();
        cmdOK_Click();
    }
}

void frmDownloadNewFirmware::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Esc must not close the dialog behind the transfer's back
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmDownloadNewFirmware::setStatusText(const QString& text) {
    lblRx->setText(text);
}

void frmDownloadNewFirmware::setStatusVisible(bool visible) {
    lblRx->setVisible(visible);
    lblPleaseWait->setVisible(visible);
}

void frmDownloadNewFirmware::setStartCancelCaption(const QString& caption) {
    cmdSendStartCommand->setText(caption);
}

void frmDownloadNewFirmware::setDoneEnabled(bool enabled) {
    cmdOK->setEnabled(enabled);
}

void frmDownloadNewFirmware::setReceiverLabel(const QString& text) {
    Label2->setText(text);
}

void frmDownloadNewFirmware::setBlockLabel(const QString& text) {
    Label3->setText(text);
}

void frmDownloadNewFirmware::announceImage(const QString& text) {
    lblImage->setText(text);
}

void frmDownloadNewFirmware::inform(const QString& text) {
    dialogs_.inform(this, text);
}

void frmDownloadNewFirmware::reportError(const QString& text) {
    dialogs_.warn(this, text);
}

void frmDownloadNewFirmware::firmwareUpdated() {
    // The notice belongs to the frame: this dialog closes at once.
    dialogs_.inform(parentWidget(), kUpdated);
    done(QDialog::Accepted);
}

}  // namespace vantorix
