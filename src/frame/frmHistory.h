// File > History: the runs the history holds, found by operator, test, plate and date, each
// opened with a double click or Open; and for the open file, every event of its audit trail
// (who, when, what changed). A modeless window of the frame, refreshed each time it is shown.
#pragma once

#include <QDialog>
#include <functional>

#include "history/AuditEvent.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vantorix {

namespace history {
class History;
}

class frmHistory : public QDialog {
    Q_OBJECT
  public:
    using OpenFile = std::function<void(const QString& path)>;
    // The runs shown at most, newest first; a narrower search finds older ones.
    static constexpr int kMaxRows = 500;

    frmHistory(history::History& db, OpenFile open, QWidget* parent = nullptr);

    // Searches again, and shows the events of `openFile` ("" when no file is open).
    void refresh(const QString& openFile);
    // The path of the run chosen in the table, "" when none.
    QString chosenFile() const;

  private:
    void buildControls();
    void search();
    void showEvents();
    void openChosen();

    history::History& db_;
    OpenFile open_;
    QString openFile_;

    QTabWidget* tabs = nullptr;
    QLineEdit* txtOperator = nullptr;
    QLineEdit* txtTest = nullptr;
    QLineEdit* txtPlate = nullptr;
    QDateEdit* dtpSince = nullptr;
    QDateEdit* dtpUntil = nullptr;
    QTableWidget* grdRuns = nullptr;
    QLabel* lblRunCount = nullptr;
    QLabel* lblEventsFile = nullptr;
    QTableWidget* grdEvents = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdClose = nullptr;
};

// "Run started", "Header changed", ... for an event kind.
QString eventKindText(history::EventKind kind);

}  // namespace vantorix
