// The program's frame: menus and shortcuts, the caption, start-up from the persisted settings,
// File > New, and closing without losing a run's data. It owns no logic of the dialogs its
// menus open: their developers fill the entries through setEntryHandler, and an entry stays
// disabled until it has a handler.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>

#include "kernel/InstrumentLine.h"
#include "kernel/RunOptions.h"

class QAction;
class QMenu;
class QMdiArea;
class QMdiSubWindow;

namespace vantorix {

class DocumentSession;
struct DataFolders;
class Dialogs;
class Scheduler;
class SerialPort;
class SettingsStore;
class frmZyvora;

inline const QString kCompanyName = QStringLiteral("Orvexa Labs");

// "The Vantorix (tm) by Orvexa Labs - Version 2.1.0"
QString frameCaption();

// Where the frame opens on a screen whose free area is `available`: a laptop's screen is used
// whole (maximized), a larger one for the most part, centred.
struct FramePlacement {
    QRect normal;
    bool maximized = false;
};
FramePlacement framePlacement(const QRect& available);

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    enum class Entry {
        FileOpen,
        NewFromProtocol,
        SaveProtocol,
        History,
        Communications,
        Options,
        DownloadFirmware,
        About
    };

    // Runs the start-up: caption, the line and run defaults from `settings`, centred.
    frmMain(DocumentSession& session, DataFolders& folders, SettingsStore& settings,
            SerialPort& comPort, Scheduler& scheduler, Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmMain() override;

    SerialPort& comPort() { return comPort_; }
    // The communication settings' burst mode, as stored and as the dialog last set it.
    bool& burstMode() { return burstMode_; }
    Dialogs& dialogs() { return dialogs_; }
    // The open document, shared by the measurement window and the file browser.
    DocumentSession& session() { return session_; }
    // The run options a new measurement starts from, as stored and as Settings > Options sets
    // them (a completed priming run clears their priming).
    RunOptions& runDefaults() { return runDefaults_; }
    // The folders the windows work in: the data folder follows the files the user opens.
    DataFolders& folders() { return folders_; }
    // The one measurement window, created on first use.
    frmZyvora& measurementWindow();
    bool hasMeasurementWindow() const { return zyvora_ != nullptr; }
    // Shows the measurement window as the frame's child and brings it to the front.
    void showMeasurementWindow();

    void setEntryHandler(Entry entry, std::function<void()> handler);
    QAction* entryAction(Entry entry) const;

    void mnuFileNew_Click();

  signals:
    // The measurement window was just created (hooks for its buttons go in here).
    void measurementWindowCreated(frmZyvora* window);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    // File > Export Report..., Export Picture... and the View menu (frmMainResults.cpp).
    void addResultsEntries(QMenu* file);
    void startUp();
    void centreOnScreen();
    void shutDown();
    void updateEntries();

    DocumentSession& session_;
    DataFolders& folders_;
    SettingsStore& settings_;
    SerialPort& comPort_;
    Scheduler& scheduler_;
    Dialogs& dialogs_;
    bool burstMode_ = false;
    RunOptions runDefaults_;

    QMdiArea* mdiArea_ = nullptr;
    QMdiSubWindow* zyvoraWindow_ = nullptr;
    frmZyvora* zyvora_ = nullptr;
    std::map<Entry, std::function<void()>> handlers_;
    bool firmwareAllowed_ = true;
    bool running_ = false;
    bool shutDown_ = false;

    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileNewFromProtocol = nullptr;
    QAction* mnuFileSaveProtocol = nullptr;
    QAction* mnuFileHistory = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuSettingsCommunications = nullptr;
    QAction* mnuSettingsOptions = nullptr;
    QAction* mnuUtilitiesDownloadFirmware = nullptr;
    QAction* mnuHelpNewAbout = nullptr;
};

}  // namespace vantorix
