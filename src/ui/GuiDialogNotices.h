// The message boxes and the beep of the settings dialogs, behind a small interface so that a
// test can record them instead of waiting on a modal box.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantorix {

class DialogNotices {
  public:
    enum class Icon { None, Information, Warning };

    virtual ~DialogNotices() = default;
    // A box with only an OK button and the application's title; `closed` runs once the user
    // has dismissed it.
    virtual void message(QWidget* parent, const QString& text, Icon icon,
                         std::function<void()> closed) = 0;
    virtual void beep() = 0;
};

// Window-modal QMessageBox opened with open(), so no event loop is nested; the platform beep.
class QtDialogNotices : public DialogNotices {
  public:
    void message(QWidget* parent, const QString& text, Icon icon,
                 std::function<void()> closed) override;
    void beep() override;
};

// The notices the program uses when a caller supplies none.
DialogNotices& defaultDialogNotices();

}  // namespace vantorix
