#include "ui/GuiSaveAs.h"

#include <QDir>
#include <QFileDialog>

namespace vantorix {

QFileDialog* makeSaveAsDialog(QWidget* parent, const QString& proposedTitle,
                              const QString& folder) {
    auto* dialog = new QFileDialog(parent, kSaveAsTitle, folder, kSaveAsFilter);
    dialog->setObjectName(QStringLiteral("cdlSaveAs"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("ovd"));
    // Overwriting asks first (the dialog's default); a read-only folder is refused by the save.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!folder.isEmpty()) dialog->setDirectory(folder);
    dialog->selectFile(proposedTitle);
    return dialog;
}

void AskDataFileName(QWidget* parent, const QString& proposedTitle, const QString& folder,
                     std::function<void(QString path)> answer) {
    openSaveDialog(makeSaveAsDialog(parent, proposedTitle, folder), parent, std::move(answer));
}

void openSaveDialog(QFileDialog* dialog, QWidget* parent,
                    std::function<void(QString path)> answer) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, answer = std::move(answer)](int result) {
                         QString path;
                         if (result == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
                             path = QDir::cleanPath(dialog->selectedFiles().constFirst());
                         if (answer) answer(path);
                     });
    dialog->open();
}

}  // namespace vantorix
