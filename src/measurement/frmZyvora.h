// The measurement window: the plate's header fields, Start/Cancel, the results grid with its
// values/times toggle and set browser, the status and instrument message lines and the link
// monitor. There is one, shared by File > New and the file browser. It shows state and hands
// the user's actions to the run; the run's questions are answered through Dialogs without
// nesting event loops.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "results/CellText.h"
#include "results/GuiResultsPanel.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolButton;

namespace vantorix {

class DocumentSession;
struct DataFolders;
struct PlateHeader;
struct RunOptions;
class Dialogs;
class RunSequence;
class Scheduler;
class SerialPort;

inline const QString kUnsavedDataText =
    QStringLiteral("Integrated Data has not been saved. Save it now?");
inline const QString kCancelRunOnCloseText = QStringLiteral(
    "A run is in progress. Cancel the run, save the datasets already measured and close?");
inline const QString kStoppingRunText = QStringLiteral("Stopping the run...");
// The answers to kCancelRunOnCloseText when an unfinished dataset has readings.
inline const QStringList kCloseMidRunButtons = {
    QStringLiteral("&Keep Partial Dataset and Close"),
    QStringLiteral("&Discard Partial Dataset and Close"), QStringLiteral("&Continue the Run")};

class frmZyvora : public QWidget {
    Q_OBJECT
  public:
    // `runDefaults` are the options each new measurement starts from.
    frmZyvora(DocumentSession& session, RunOptions& runDefaults, DataFolders& folders,
              SerialPort& port, Scheduler& scheduler, Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmZyvora() override;

    // Set by the frame when the program closes.
    bool bTerminate = false;

    // Empties the four header fields.
    void clearGUI();
    void setCanEditState(bool bCanEdit);
    // A new measurement: editable, header fields enabled and empty.
    void setNew();
    // Redraws the window from the document.
    void repaintGUI();
    void UpdateConfigurationText() {}
    void InitResultsGrid();
    // Rewrites the 96 cells of the shown set in the mode the toggle names.
    void ShowCurrentSet();
    // Light green behind the wells the run's options select, while the document may be edited.
    void shadeSelectedWells();
    // After the options dialog was confirmed: the sensitivity and number-of-runs labels and
    // the shading, from the run's options.
    void showConfirmedOptions();
    // One tick of the link monitor (every 100 ms on the scheduler's clock).
    void tmrComStatus_Timer();

    // True when the window may close now. Otherwise it asks (a run in progress, unsaved data),
    // returns false, and calls `proceed` once the user has agreed and the data are safe.
    bool queryClose(std::function<void()> proceed);

    RunSequence& runSequence() { return *run_; }
    // The heat map, kinetics, statistics and progress beside the grid; the report exports.
    GuiResultsPanel& resultsPanel() { return *results_; }
    GridMode gridMode() const;
    qint16 comStatusStep() const { return ComStatusStep; }

    // Entries other dialogs fill in; until then their buttons stay disabled.
    void setOptionsHandler(std::function<void()> handler);
    void setExcelHandler(std::function<void()> handler);

  signals:
    // Each link-monitor tick: whether the firmware download may be offered now.
    void firmwareDownloadAllowed(bool allowed);
    // A run started or ended.
    void runningChanged(bool running);
    // The data could not be saved at `intended` (reason) and the user saved it at `path`.
    void savedElsewhere(const QString& intended, const QString& reason, const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class FrontEnd;
    friend class FrontEnd;

    void buildControls();
    void layOutControls();
    void connectControls();
    void bindHeaderField(QLineEdit* field, QString PlateHeader::*text);
    void cmdStartCancel_Click();
    void cmdToggleDataTime_Click();
    void picSpinDown_Click();
    void picSpinUp_Click();
    void setDatasetBrowserVisible(bool visible);
    void setEditControlsEnabled(bool enabled);
    void refreshHeaderFromStore();
    // The caption: the document's file, and whether it was recovered from an interrupted run.
    QString documentTitle() const;
    void showNumberOfRuns(const QString& text);
    void scheduleComStatusTick();
    void runFinished();
    void saveFailed(const QString& reason);
    void saveWithRecovery(std::function<void(bool saved)> done);
    void offerSaveElsewhere(const QString& reason, std::function<void(bool saved)> done);
    void saveToChosenFile(std::function<void(bool saved)> done);
    void askToClose(std::function<void()> proceed);
    void cancelAndClose(std::function<void()> proceed);
    void askToSaveBeforeClosing(std::function<void()> proceed);
    // A handler for an answer that may come after this window is gone: it then does nothing.
    template <typename F>
    auto whileOpen(F f) {
        return [self = QPointer<frmZyvora>(this), f = std::move(f)](auto&&... args) {
            if (self) f(std::forward<decltype(args)>(args)...);
        };
    }
    void reloadAfterRecoveredSave();
    void closeWindow();
    void showRunProgress();
    PanelRun panelRun() const;

    DocumentSession& session_;
    RunOptions& runDefaults_;
    DataFolders& folders_;
    SerialPort& port_;
    Scheduler& scheduler_;
    Dialogs& dialogs_;
    std::unique_ptr<FrontEnd> frontEnd_;
    std::unique_ptr<RunSequence> run_;

    qint16 ComStatusStep = 0;
    quint64 comStatusTimer_ = 0;
    bool busyCursor_ = false;
    bool optionsWanted_ = true;
    std::function<void()> optionsHandler_;
    std::function<void()> excelHandler_;
    // Closing: a question is open / the user agreed / continue once the run has ended.
    bool askingClose_ = false;
    bool closeAgreed_ = false;
    bool closing_ = false;
    QString fallbackFrom_, fallbackReason_;  // the failed save while another file is offered
    std::function<void()> closeAfterRun_;
    // Whether the readings of the unfinished dataset are kept, as chosen when closing mid-run.
    std::optional<bool> keepPartialOnClose_;

    QLabel* lblOperator = nullptr;
    QLineEdit* txtOperator = nullptr;
    QLabel* lblTest = nullptr;
    QLineEdit* txtTest = nullptr;
    QLabel* lblPlateNo = nullptr;
    QLineEdit* txtPlateNo = nullptr;
    QLabel* lblNotes = nullptr;
    QLineEdit* txtNotes = nullptr;
    QPushButton* cmdStartCancel = nullptr;
    QPushButton* cmdOptions = nullptr;
    QPushButton* cmdInsertDataIntoMicrosoftExcel = nullptr;
    QPushButton* cmdToggleDataTime = nullptr;
    QTableWidget* grdResults = nullptr;
    GuiResultsPanel* results_ = nullptr;
    QLabel* lblNumberOfRunsTitle = nullptr;
    QLabel* lblNumberOfRuns = nullptr;
    QLabel* lblRunDate = nullptr;  // when the shown document was measured
    QLabel* lblDataset = nullptr;
    QLabel* lblDatasets = nullptr;
    QToolButton* picSpinUp = nullptr;
    QToolButton* picSpinDown = nullptr;
    QLabel* lblExtraSensitivity = nullptr;
    QLabel* lblExtraSensitivityStatus = nullptr;
    QLabel* StatusLine = nullptr;
    QLabel* lblErrorMessage = nullptr;
    QFrame* ComStatusLowRes = nullptr;
    QStackedWidget* picComStatus = nullptr;
    QLabel* picComOK[7] = {};
    QLabel* picComQuestion[2] = {};
};

}  // namespace vantorix
