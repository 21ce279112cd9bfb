// The "Save As" step of a run: the user names the data file before anything is sent.
#pragma once

#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

namespace vantorix {

inline const QString kSaveAsTitle = QStringLiteral("Save As");
inline const QString kSaveAsFilter = QStringLiteral("Orvexa Data Format (*.ovd)");

// The naming dialog, set up and not yet shown: title "Save As", the data-file filter,
// `proposedTitle` in `folder`, confirmation before an existing file is overwritten, and
// ".ovd" added to a name typed without an extension (so the file browser lists it).
QFileDialog* makeSaveAsDialog(QWidget* parent, const QString& proposedTitle, const QString& folder);

// Shows a save dialog window-modal, deletes it when closed and hands `answer` the chosen full
// path, or "" when the user cancelled.
void openSaveDialog(QFileDialog* dialog, QWidget* parent, std::function<void(QString path)> answer);

// Shows the naming dialog window-modal and returns at once; `answer` gets the chosen full
// path, or "" when the user cancelled.
void AskDataFileName(QWidget* parent, const QString& proposedTitle, const QString& folder,
                     std::function<void(QString path)> answer);

}  // namespace vantorix
