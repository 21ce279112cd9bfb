// The protocol dialogs of the File menu. Choose: the user's protocols, each shown as its text,
// one picked for a new run. Save: the current settings saved under a name, replacing a protocol
// of that name only when the user agrees.
#pragma once

#include <QDialog>
#include <functional>

#include "protocols/ProtocolStore.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vantorix {

class Dialogs;

class frmProtocols : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Choose, Save };
    // Called with the chosen protocol (Choose) or the one just saved (Save), then the dialog
    // closes.
    using Done = std::function<void(const StoredProtocol&)>;

    frmProtocols(Mode mode, const QString& folder, Dialogs& dialogs, Done done,
                 QWidget* parent = nullptr);
    // Save: what is saved; its name is the one typed.
    void setToSave(const AssayProtocol& protocol);

  private:
    void buildControls();
    void listProtocols();
    void showChosen();
    void showToSave();
    void confirm();
    void save(bool replace);

    Mode mode_;
    QString folder_;
    Dialogs& dialogs_;
    Done done_;
    AssayProtocol toSave_;
    StoredProtocol chosen_;
    bool chosenOk_ = false;

    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblProblem = nullptr;
    QListWidget* lstProtocols = nullptr;
    QPlainTextEdit* txtPreview = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace vantorix
