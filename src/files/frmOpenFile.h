// The file browser behind File > Open: the data files of one folder with their header values,
// oldest first, kept current while the dialog is open; Open (or a double click) loads the
// chosen file into the measurement window. It is modeless, created once and then only hidden,
// so its FolderListing (the rows, their refresh and the header cache) lasts as long as the
// program; the dialog shows the rows and the folder controls.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "files/FolderScan.h"
#include "kernel/Scheduler.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTableWidget;
class QTreeView;

namespace vantorix {

struct DataFolders;
class Dialogs;
class FolderListing;
class GuiSplitProgressBar;

inline const QString kListInfoText =
    QStringLiteral("The following files contain data downloaded from the Vantorix unit.");
inline const QString kListBusyText = QStringLiteral("File list being created... One Moment...");

class frmOpenFile : public QDialog {
    Q_OBJECT
  public:
    // Loads the chosen file (a name in the data folder) into the measurement window and shows it.
    using OpenInWindow = std::function<void(const QString& fileName)>;

    frmOpenFile(DataFolders& folders, Dialogs& dialogs, Scheduler& scheduler,
                OpenInWindow openInWindow, QWidget* parent = nullptr);
    ~frmOpenFile() override;

    // Rebuilds the list when the folder's files changed since the last rebuild. The rebuild
    // itself runs in slices on the scheduler; listRebuilt() tells when it is done.
    void RefreshFileList();
    bool rebuilding() const;
    // Forces the next refresh to rebuild.
    void forgetList();

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
    void showBusy(bool busy);
    void startBusy();
    void showRebuiltList();
    void fillGrid(const std::vector<ListedFile>& rows);
    void grdOVDList_Click(int row);
    void clearSelection();
    void cmdOpen_Click();

    DataFolders& dataFolders_;
    Dialogs& dialogs_;
    Scheduler& scheduler_;
    OpenInWindow openInWindow_;
    // The list itself, with its refresh policy and header cache; kept as long as the dialog.
    std::unique_ptr<FolderListing> listing_;
    Scheduler::TimerId keepInViewCall_ = 0;
    QString shownFolder_;
    // What the grid shows, so a rebuild that finds the same rows leaves the grid alone.
    QString gridFolder_;
    std::vector<ListedFile> gridRows_;
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
};

}  // namespace vantorix
