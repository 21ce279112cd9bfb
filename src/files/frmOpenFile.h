// The file browser behind File > Open: the data files of one folder with their header values,
// oldest first, kept current while the dialog is open; Open (or a double click) loads the
// chosen file into the measurement window. It is modeless, created once and then only hidden.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;
class QTreeView;

namespace vantorix {

struct ListedFile;
struct ProgramState;
class Dialogs;
class FolderScan;
class GuiSplitProgressBar;
class Scheduler;

inline const QString kListInfoText =
    QStringLiteral("The following files contain data downloaded from the Vantorix unit.");
inline const QString kListBusyText = QStringLiteral("File list being created... One Moment...");

class frmOpenFile : public QDialog {
    Q_OBJECT
  public:
    // Loads the chosen file (a name in DataFolder) into the measurement window and shows it.
    using OpenInWindow = std::function<void(const QString& fileName)>;

    frmOpenFile(ProgramState& state, Dialogs& dialogs, Scheduler& scheduler,
                OpenInWindow openInWindow, QWidget* parent = nullptr);
    ~frmOpenFile() override;

    // Rebuilds the list when the folder's files changed since the last rebuild. The rebuild
    // itself runs in slices between window events; listRebuilt() tells when it is done.
    void RefreshFileList();
    bool rebuilding() const { return scan_ != nullptr; }
    // Forces the next refresh to rebuild.
    void forgetList();

    // Between folder checks while the dialog is open, at least (changes in the folder are also
    // noticed at once through a watcher).
    static constexpr int kRefreshInterval_ms = 2000;

  signals:
    void listRebuilt();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void layOutControls();
    void connectControls();
    void initGrid();
    void placeOnScreen();
    void gotFocus();
    void Drive1_Change(int index);
    void Dir1_Change(const QString& folder);
    void showFolder(const QString& folder);
    void keepFolderInView();
    void selectDriveOf(const QString& folder);
    void watchFolder(const QString& folder);
    void showBusy(bool busy);
    void scanSlice();
    void fillGrid(const std::vector<ListedFile>& rows);
    void grdOVDList_Click(int row);
    void clearSelection();
    void cmdOpen_Click();

    ProgramState& state_;
    Dialogs& dialogs_;
    Scheduler& scheduler_;
    OpenInWindow openInWindow_;
    // The folder and the stamps of its files at the last rebuild; kEmptySignature forces one.
    QString ListSignature;
    std::unique_ptr<FolderScan> scan_;
    QString shownFolder_;
    bool settingFolder_ = false;

    QWidget* frameAncor = nullptr;
    QWidget* frameReady = nullptr;
    QWidget* frameBusy = nullptr;
    QComboBox* Drive1 = nullptr;
    QTreeView* Dir1 = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QLabel* lblInfo = nullptr;
    QTableWidget* grdOVDList = nullptr;
    QLabel* lblFilenameTitle = nullptr;
    QLabel* lblFilename = nullptr;
    QLabel* lblBusy = nullptr;
    GuiSplitProgressBar* picWhiteBack = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* tmrRefreshGrid = nullptr;
    QTimer* scanTimer_ = nullptr;
    QTimer* folderChanged_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace vantorix
