// The questions and notices the windows put to the user. Every answer comes back through a
// callback, at once or once the box closes, so no window nests an event loop while a run is
// waiting. QtDialogs shows window-modal message boxes; tests supply scripted answers.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vantorix {

enum class YesNoCancel { Yes, No, Cancel };

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // The "Save As" step of a run: the chosen full path, or "" when the user cancelled.
    virtual void askDataFileName(QWidget* parent, const QString& proposedTitle,
                                 const QString& folder, std::function<void(QString)> answer) = 0;
    // Where to keep a workbook (.xlsx), starting from proposedPath: the chosen full path, or ""
    // when the user cancelled.
    virtual void askWorkbookFileName(QWidget* parent, const QString& proposedPath,
                                     std::function<void(QString)> answer) = 0;
    // Retry/Cancel with the question icon; true = Retry.
    virtual void askRetryCancel(QWidget* parent, const QString& title, const QString& text,
                                std::function<void(bool)> answer) = 0;
    // OK/Cancel with the exclamation icon; true = OK.
    virtual void askOkCancel(QWidget* parent, const QString& text,
                             std::function<void(bool)> answer) = 0;
    // Yes/No with the question icon; true = Yes.
    virtual void askYesNo(QWidget* parent, const QString& text,
                          std::function<void(bool)> answer) = 0;
    // Yes/No/Cancel with the question icon.
    virtual void askYesNoCancel(QWidget* parent, const QString& text,
                                std::function<void(YesNoCancel)> answer) = 0;
    // A question whose buttons name what they do, with the question icon; the answer is the
    // index of the button pressed. The last button is the default and the one Escape presses,
    // so it should leave things as they are.
    virtual void askChoice(QWidget* parent, const QString& text, const QStringList& buttons,
                           std::function<void(int)> answer) = 0;
    // A plain box with OK and no icon: notices, and the failures the program has always shown
    // that way (a file that cannot be opened, a drive that is not there, the export's messages).
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // A failure the user must know about, with OK and the warning icon.
    virtual void warn(QWidget* parent, const QString& text) = 0;
};

// Window-modal QMessageBox / QFileDialog, opened with open(): the caller's code returns to the
// event loop at once and the answer arrives when the user closes the box.
class QtDialogs : public Dialogs {
  public:
    void askDataFileName(QWidget* parent, const QString& proposedTitle, const QString& folder,
                         std::function<void(QString)> answer) override;
    void askWorkbookFileName(QWidget* parent, const QString& proposedPath,
                             std::function<void(QString)> answer) override;
    void askRetryCancel(QWidget* parent, const QString& title, const QString& text,
                        std::function<void(bool)> answer) override;
    void askOkCancel(QWidget* parent, const QString& text,
                     std::function<void(bool)> answer) override;
    void askYesNo(QWidget* parent, const QString& text, std::function<void(bool)> answer) override;
    void askYesNoCancel(QWidget* parent, const QString& text,
                        std::function<void(YesNoCancel)> answer) override;
    void askChoice(QWidget* parent, const QString& text, const QStringList& buttons,
                   std::function<void(int)> answer) override;
    void inform(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
};

// The title of the program's message boxes. It is not set as the application's display name,
// which the platform would append to every window title.
QString messageBoxTitle();

}  // namespace vantorix
