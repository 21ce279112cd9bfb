#include "ui/GuiDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/GuiSaveAs.h"

namespace vantorix {

QString messageBoxTitle() {
    return QStringLiteral("Vantorix");
}

namespace {

// Opens a window-modal box and hands the pressed button to `answer` once it closes.
void openBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
             std::function<void(QMessageBox::StandardButton)> answer) {
    auto* box = new QMessageBox(icon, title, text, buttons, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    if (defaultButton != QMessageBox::NoButton) box->setDefaultButton(defaultButton);
    QObject::connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)](int) {
        if (answer) answer(box->standardButton(box->clickedButton()));
    });
    box->open();
}

}  // namespace

void QtDialogs::askDataFileName(QWidget* parent, const QString& proposedTitle,
                                const QString& folder, std::function<void(QString)> answer) {
    AskDataFileName(parent, proposedTitle, folder, std::move(answer));
}

void QtDialogs::askWorkbookFileName(QWidget* parent, const QString& proposedPath,
                                    std::function<void(QString)> answer) {
    auto* dialog = new QFileDialog(parent, QStringLiteral("Save to Excel"), proposedPath,
                                   QStringLiteral("Excel workbooks (*.xlsx)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("xlsx"));
    openSaveDialog(dialog, parent, std::move(answer));
}

void QtDialogs::askRetryCancel(QWidget* parent, const QString& title, const QString& text,
                               std::function<void(bool)> answer) {
    openBox(parent, QMessageBox::Question, title, text, QMessageBox::Retry | QMessageBox::Cancel,
            QMessageBox::Retry,
            [answer](QMessageBox::StandardButton b) { answer(b == QMessageBox::Retry); });
}

void QtDialogs::askOkCancel(QWidget* parent, const QString& text,
                            std::function<void(bool)> answer) {
    openBox(parent, QMessageBox::Warning, messageBoxTitle(), text,
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
            [answer](QMessageBox::StandardButton b) { answer(b == QMessageBox::Ok); });
}

void QtDialogs::askYesNo(QWidget* parent, const QString& text, std::function<void(bool)> answer) {
    openBox(parent, QMessageBox::Question, messageBoxTitle(), text,
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
            [answer](QMessageBox::StandardButton b) { answer(b == QMessageBox::Yes); });
}

void QtDialogs::askYesNoCancel(QWidget* parent, const QString& text,
                               std::function<void(YesNoCancel)> answer) {
    openBox(parent, QMessageBox::Question, messageBoxTitle(), text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
            [answer](QMessageBox::StandardButton b) {
                answer(b == QMessageBox::Yes  ? YesNoCancel::Yes
                       : b == QMessageBox::No ? YesNoCancel::No
                                              : YesNoCancel::Cancel);
            });
}

void QtDialogs::askChoice(QWidget* parent, const QString& text, const QStringList& buttons,
                          std::function<void(int)> answer) {
    auto* box = new QMessageBox(QMessageBox::Question, messageBoxTitle(), text,
                                QMessageBox::NoButton, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QList<QAbstractButton*> pressable;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        pressable << box->addButton(
            buttons[i], i + 1 < buttons.size() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    if (!pressable.isEmpty()) {
        box->setDefaultButton(qobject_cast<QPushButton*>(pressable.last()));
        box->setEscapeButton(pressable.last());
    }
    QObject::connect(box, &QMessageBox::finished, box, [box, pressable, answer](int) {
        const qsizetype index = pressable.indexOf(box->clickedButton());
        if (answer) answer(int(index < 0 ? pressable.size() - 1 : index));
    });
    box->open();
}

void QtDialogs::inform(QWidget* parent, const QString& text) {
    openBox(parent, QMessageBox::NoIcon, messageBoxTitle(), text, QMessageBox::Ok, QMessageBox::Ok,
            {});
}

void QtDialogs::warn(QWidget* parent, const QString& text) {
    openBox(parent, QMessageBox::Warning, messageBoxTitle(), text, QMessageBox::Ok, QMessageBox::Ok,
            {});
}

}  // namespace vantorix
