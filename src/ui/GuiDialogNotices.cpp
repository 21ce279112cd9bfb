#include "ui/GuiDialogNotices.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/GuiDialogs.h"

namespace vantorix {

namespace {

QMessageBox::Icon boxIcon(DialogNotices::Icon icon) {
    switch (icon) {
        case DialogNotices::Icon::Information:
            return QMessageBox::Information;
        case DialogNotices::Icon::Warning:
            return QMessageBox::Warning;
        case DialogNotices::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogNotices::message(QWidget* parent, const QString& text, Icon icon,
                              std::function<void()> closed) {
    auto* box = new QMessageBox(boxIcon(icon), messageBoxTitle(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [closed = std::move(closed)](int) {
        if (closed) closed();
    });
    box->open();
}

void QtDialogNotices::beep() {
    QApplication::beep();
}

DialogNotices& defaultDialogNotices() {
    static QtDialogNotices notices;
    return notices;
}

}  // namespace vantorix
