// The file browser's list behind File > Open: the rows of the data folder, rebuilt when the
// folder's files changed since the last rebuild, in slices on the scheduler so the window
// stays responsive. While the browser shows, the folder is checked every
// kRefreshInterval_ms at least and watched for changes. Headers already read are kept in a
// HeaderCache, so a folder listed again costs only the files that changed.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "files/FolderScan.h"
#include "files/HeaderCache.h"
#include "kernel/Scheduler.h"

class QFileSystemWatcher;

namespace vantorix {

class FolderListing : public QObject {
    Q_OBJECT
  public:
    // The folder to list, asked at every check (the data folder can change at any time).
    using FolderSource = std::function<QString()>;

    // Between folder checks while active, at least (changes in the folder are also noticed at
    // once through a watcher).
    static constexpr int kRefreshInterval_ms = 2000;

    // `read` reads one file's header; by default examineDataFile into a store of its own.
    FolderListing(Scheduler& scheduler, FolderSource folder, HeaderCache::ReadHeader read = {},
                  QObject* parent = nullptr);
    ~FolderListing() override;

    // Starts a rebuild when the folder or its files changed since the last rebuild.
    void RefreshFileList();
    // Forces the next refresh to rebuild (from the cache where files are unchanged).
    void forgetList();
    // While active the folder is checked periodically and watched; inactive costs nothing.
    void setActive(bool active);

    bool rebuilding() const { return scan_ != nullptr; }
    // The folder of the last (or running) rebuild.
    const QString& folder() const { return folder_; }
    // The rows of the last finished rebuild, oldest first.
    const std::vector<ListedFile>& rows() const { return rows_; }

  signals:
    void rebuildStarted();
    // After each slice of a rebuild.
    void progressed(int examined, int total);
    void rebuilt();

  private:
    void startRebuild(const QString& folder, std::vector<FolderEntry> files);
    void scanSlice();
    void scheduleCheck();
    void folderChanged();
    void watchFolder(const QString& folder);
    void unwatch();

    Scheduler& scheduler_;
    FolderSource folderSource_;
    HeaderCache::ReadHeader read_;
    // Listing parses into a store of its own: the open document's store stays as it is.
    KeyStore scratch_;
    HeaderCache cache_;
    // The folder and the stamps of its files at the last rebuild; kEmptySignature forces one.
    QString signature_ = kEmptySignature;
    QString folder_;
    std::unique_ptr<FolderScan> scan_;
    std::vector<ListedFile> rows_;
    bool active_ = false;
    qint64 refreshInterval_ms_ = kRefreshInterval_ms;
    Scheduler::TimerId sliceCall_ = 0;
    Scheduler::TimerId checkCall_ = 0;
    Scheduler::TimerId settleCall_ = 0;
    QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace vantorix
