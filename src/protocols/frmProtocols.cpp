#include "protocols/frmProtocols.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "protocols/ProtocolText.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

frmProtocols::frmProtocols(Mode mode, const QString& folder, Dialogs& dialogs, Done done,
                           QWidget* parent)
    : QDialog(parent), mode_(mode), folder_(folder), dialogs_(dialogs), done_(std::move(done)) {
    setObjectName(QStringLiteral("frmProtocols"));
    setWindowTitle(mode == Mode::Choose ? QStringLiteral("New from Protocol")
                                        : QStringLiteral("Save Settings as Protocol"));
    buildControls();
    listProtocols();
    resize(860, 620);
}

void frmProtocols::buildControls() {
    lblName = new QLabel(QStringLiteral("Protocol &name:"), this);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    lblName->setBuddy(txtName);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setStyleSheet(QStringLiteral("color: #a01010"));
    lstProtocols = new QListWidget(this);
    lstProtocols->setObjectName(QStringLiteral("lstProtocols"));
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const bool saving = mode_ == Mode::Save;
    cmdOK = new QPushButton(saving ? QStringLiteral("&Save") : QStringLiteral("&New Run"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* listColumn = new QVBoxLayout;
    auto* listLabel = new QLabel(
        saving ? QStringLiteral("Protocols saved &before:") : QStringLiteral("&Protocols:"), this);
    listLabel->setBuddy(lstProtocols);
    listColumn->addWidget(listLabel);
    listColumn->addWidget(lstProtocols, 1);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(new QLabel(
        saving ? QStringLiteral("What is saved:") : QStringLiteral("The protocol:"), this));
    previewColumn->addWidget(txtPreview, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(listColumn, 1);
    columns->addLayout(previewColumn, 3);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(lblName);
    nameRow->addWidget(txtName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblProblem, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    lblName->setVisible(saving);
    txtName->setVisible(saving);

    connect(cmdOK, &QPushButton::clicked, this, &frmProtocols::confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(txtName, &QLineEdit::textChanged, this, &frmProtocols::showToSave);
    connect(lstProtocols, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (mode_ == Mode::Save && !name.isEmpty())
            txtName->setText(name);
        else
            showChosen();
    });
    connect(lstProtocols, &QListWidget::itemDoubleClicked, this, &frmProtocols::confirm);
}

void frmProtocols::listProtocols() {
    lstProtocols->clear();
    lstProtocols->addItems(protocolNames(folder_));
    if (mode_ == Mode::Choose && lstProtocols->count() > 0) lstProtocols->setCurrentRow(0);
    if (mode_ == Mode::Choose && lstProtocols->count() == 0) {
        txtPreview->setPlainText(
            QStringLiteral("No protocol is saved yet. File > Save Settings as Protocol... saves "
                           "the run options as one; vantorix-cli protocol import FILE adds one "
                           "from a file."));
        cmdOK->setEnabled(false);
    }
}

void frmProtocols::showChosen() {
    const QString name = lstProtocols->currentItem() ? lstProtocols->currentItem()->text() : "";
    const QString error = loadProtocol(folder_, name, chosen_);
    chosenOk_ = error.isEmpty();
    txtPreview->setPlainText(chosenOk_ ? protocolText(chosen_.protocol) : error);
    lblProblem->setText(chosenOk_ ? QString() : QStringLiteral("This protocol cannot be used."));
    cmdOK->setEnabled(chosenOk_);
}

void frmProtocols::setToSave(const AssayProtocol& protocol) {
    toSave_ = protocol;
    txtName->setText(protocol.name);
    showToSave();
}

void frmProtocols::showToSave() {
    if (mode_ != Mode::Save) return;
    toSave_.name = txtName->text().trimmed();
    txtPreview->setPlainText(protocolText(toSave_));
    const QString problem = toSave_.name.isEmpty() ? QString() : protocolNameProblem(toSave_.name);
    lblProblem->setText(problem);
    cmdOK->setEnabled(!toSave_.name.isEmpty() && problem.isEmpty());
}

void frmProtocols::confirm() {
    if (!cmdOK->isEnabled()) return;
    if (mode_ == Mode::Choose) {
        accept();
        if (done_) done_(chosen_);
        return;
    }
    if (!protocolNames(folder_).contains(toSave_.name)) return save(false);
    dialogs_.askYesNo(
        this, QStringLiteral("A protocol '%1' exists already. Replace it?").arg(toSave_.name),
        [this](bool yes) {
            if (yes) save(true);
        });
}

void frmProtocols::save(bool replace) {
    StoredProtocol saved{toSave_, {}};
    if (const QString error = saveProtocol(folder_, toSave_, replace, &saved.sha256);
        !error.isEmpty()) {
        dialogs_.warn(this, QStringLiteral("The protocol was not saved: ") + error + u'.');
        return;
    }
    accept();
    if (done_) done_(saved);
}

}  // namespace vantorix
