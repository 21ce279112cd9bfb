#include "frame/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

#include "kernel/ProgramVersion.h"
#include "kernel/SettingsLifecycle.h"
#include "measurement/frmZyvora.h"
#include "plate/DocumentSession.h"
#include "serial/SerialPort.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

QString frameCaption() {
    return QStringLiteral("The Vantorix (tm) by ") + kCompanyName + QStringLiteral(" - Version ") +
           ProgramVersion().text();
}

frmMain::frmMain(DocumentSession& session, DataFolders& folders, SettingsStore& settings,
                 SerialPort& comPort, Scheduler& scheduler, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      folders_(folders),
      settings_(settings),
      comPort_(comPort),
      scheduler_(scheduler),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("The VantorixTM"));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    buildMenus();
    startUp();
}

frmMain::~frmMain() {
    if (!shutDown_) shutDown();
}

void frmMain::buildMenus() {
    auto addEntry = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = addEntry(mnuFile, "mnuFileNew", QStringLiteral("&New"));
    mnuFileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = addEntry(mnuFile, "mnuFileOpen", QStringLiteral("&Open"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileNewFromProtocol =
        addEntry(mnuFile, "mnuFileNewFromProtocol", QStringLiteral("New from &Protocol..."));
    mnuFileSaveProtocol =
        addEntry(mnuFile, "mnuFileSaveProtocol", QStringLiteral("Save Settings as Protoco&l..."));
    mnuFileHistory = addEntry(mnuFile, "mnuFileHistory", QStringLiteral("&History..."));
    mnuFileHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addResultsEntries(mnuFile);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    mnuFileExit = addEntry(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    QMenu* mnuSettings = menuBar()->addMenu(QStringLiteral("&Settings"));
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    mnuSettingsCommunications =
        addEntry(mnuSettings, "mnuSettingsCommunications", QStringLiteral("&Communications..."));
    mnuSettingsOptions = addEntry(mnuSettings, "mnuSettingsOptions", QStringLiteral("&Options..."));

    QMenu* mnuUtilities = menuBar()->addMenu(QStringLiteral("&Utilities"));
    mnuUtilities->setObjectName(QStringLiteral("mnuUtilities"));
    mnuUtilitiesDownloadFirmware = addEntry(mnuUtilities, "mnuUtilitiesDownloadFirmware",
                                            QStringLiteral("Download New Firmware"));

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpNewAbout = addEntry(mnuHelp, "mnuHelpNewAbout", QStringLiteral("About"));

    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
    const std::pair<QAction*, Entry> entries[] = {
        {mnuFileOpen, Entry::FileOpen},
        {mnuFileNewFromProtocol, Entry::NewFromProtocol},
        {mnuFileSaveProtocol, Entry::SaveProtocol},
        {mnuFileHistory, Entry::History},
        {mnuSettingsCommunications, Entry::Communications},
        {mnuSettingsOptions, Entry::Options},
        {mnuUtilitiesDownloadFirmware, Entry::DownloadFirmware},
        {mnuHelpNewAbout, Entry::About},
    };
    for (const auto& [action, entry] : entries) {
        connect(action, &QAction::triggered, this, [this, entry = entry] {
            if (auto it = handlers_.find(entry); it != handlers_.end() && it->second) it->second();
        });
    }
    updateEntries();
}

void frmMain::startUp() {
    setWindowTitle(frameCaption());
    const StartupSettings stored = loadStartupSettings(settings_);
    const CommunicationSettings& comm = stored.communication;
    burstMode_ = comm.BurstMode;
    runDefaults_ = stored.runDefaults;
    comPort_.setPortNumber(comm.ComPort);
    comPort_.setPortName(comm.PortName);
    comPort_.setSettings(comm.Settings);
    // The instrument always talks at 2400 baud, whatever line settings were stored.
    comPort_.setSettings(kInstrumentLineSettings);
    centreOnScreen();
}

FramePlacement framePlacement(const QRect& available) {
    // Below this the grid, its figures and the run's lines need all of the screen.
    const bool small = available.width() < 1600 || available.height() < 960;
    const QSize size = small ? available.size()
                             : QSize(available.width() * 85 / 100, available.height() * 85 / 100);
    const QPoint corner(available.left() + (available.width() - size.width()) / 2,
                        available.top() + (available.height() - size.height()) / 2);
    return {QRect(corner, size), small};
}

void frmMain::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const FramePlacement placement =
        framePlacement(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
    setGeometry(placement.normal);
    if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

frmZyvora& frmMain::measurementWindow() {
    if (!zyvora_) {
        zyvora_ = new frmZyvora(session_, runDefaults_, folders_, comPort_, scheduler_, dialogs_);
        zyvoraWindow_ = mdiArea_->addSubWindow(zyvora_);
        // The one measurement window is kept when the user closes it, and shown again later.
        zyvoraWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
        zyvoraWindow_->setWindowIcon(windowIcon());
        connect(zyvora_, &frmZyvora::firmwareDownloadAllowed, this, [this](bool allowed) {
            firmwareAllowed_ = allowed;
            updateEntries();
        });
        connect(zyvora_, &frmZyvora::runningChanged, this, [this](bool running) {
            running_ = running;
            updateEntries();
        });
        emit measurementWindowCreated(zyvora_);
    }
    return *zyvora_;
}

void frmMain::showMeasurementWindow() {
    measurementWindow();
    // Closing the sub-window with its own button hides the window inside it as well.
    zyvora_->show();
    zyvoraWindow_->showMaximized();
    mdiArea_->setActiveSubWindow(zyvoraWindow_);
    zyvoraWindow_->raise();
}

void frmMain::mnuFileNew_Click() {
    comPort_.close();
    comPort_.setSettings(kInstrumentLineSettings);
    comPort_.setInputMode(InputMode::Text);
    comPort_.setInputLen(0);  // each read returns everything waiting
    QString error;
    if (!comPort_.open(&error)) {
        comPort_.close();
        dialogs_.warn(
            this,
            QStringLiteral("The instrument's serial port could not be opened.\n%1").arg(error));
    }
    // A new measurement: of the last document only the instrument's firmware version stays.
    PlateDocument fresh;
    fresh.firmwareVersion = session_.document().firmwareVersion;
    session_.replaceDocument(std::move(fresh));
    frmZyvora& w = measurementWindow();
    w.clearGUI();
    w.setCanEditState(true);
    w.repaintGUI();
    w.setNew();
    showMeasurementWindow();
}

void frmMain::setEntryHandler(Entry entry, std::function<void()> handler) {
    handlers_[entry] = std::move(handler);
    updateEntries();
}

QAction* frmMain::entryAction(Entry entry) const {
    switch (entry) {
        case Entry::FileOpen:
            return mnuFileOpen;
        case Entry::NewFromProtocol:
            return mnuFileNewFromProtocol;
        case Entry::SaveProtocol:
            return mnuFileSaveProtocol;
        case Entry::History:
            return mnuFileHistory;
        case Entry::Communications:
            return mnuSettingsCommunications;
        case Entry::Options:
            return mnuSettingsOptions;
        case Entry::DownloadFirmware:
            return mnuUtilitiesDownloadFirmware;
        case Entry::About:
            return mnuHelpNewAbout;
    }
    return nullptr;
}

void frmMain::updateEntries() {
    auto has = [this](Entry e) {
        auto it = handlers_.find(e);
        return it != handlers_.end() && bool(it->second);
    };
    // A new document or another file must not replace the one a run is filling.
    mnuFileNew->setEnabled(!running_);
    mnuFileOpen->setEnabled(!running_ && has(Entry::FileOpen));
    mnuFileNewFromProtocol->setEnabled(!running_ && has(Entry::NewFromProtocol));
    mnuFileSaveProtocol->setEnabled(has(Entry::SaveProtocol));
    mnuFileHistory->setEnabled(has(Entry::History));
    mnuSettingsCommunications->setEnabled(!running_ && has(Entry::Communications));
    mnuSettingsOptions->setEnabled(has(Entry::Options));
    mnuUtilitiesDownloadFirmware->setEnabled(firmwareAllowed_ && has(Entry::DownloadFirmware));
    mnuHelpNewAbout->setEnabled(has(Entry::About));
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (zyvora_) {
        zyvora_->bTerminate = true;
        if (!zyvora_->queryClose([this] { close(); })) {
            event->ignore();
            return;
        }
    }
    shutDown();
    event->accept();
}

void frmMain::shutDown() {
    shutDown_ = true;
    if (zyvora_) zyvora_->bTerminate = true;
    if (comPort_.isOpen()) comPort_.close();
    saveShutdownSettings(settings_, runDefaults_);
    if (const QString problem = settings_.takeWriteFailure(); !problem.isEmpty())
        dialogs_.warn(this, problem);
}

}  // namespace vantorix
