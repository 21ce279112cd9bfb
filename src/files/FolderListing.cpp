#include "files/FolderListing.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>

namespace vantorix {

namespace {

// A rebuild examines files for this long, then lets the window handle its events.
constexpr qint64 kScanSlice_ms = 15;
// Several changes in a row (a file being written) make one refresh.
constexpr qint64 kFolderSettle_ms = 150;
// A folder of thousands of files is checked less often, so checking never costs more than
// about half a percent of a core: the pause is this many times the check's own time.
constexpr qint64 kCheckCostFactor = 200;
constexpr qint64 kLongestRefreshInterval_ms = 60'000;

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

}  // namespace

FolderListing::FolderListing(Scheduler& scheduler, FolderSource folder,
                             HeaderCache::ReadHeader read, QObject* parent)
    : QObject(parent),
      scheduler_(scheduler),
      folderSource_(std::move(folder)),
      read_(std::move(read)),
      watcher_(new QFileSystemWatcher(this)) {
    if (!read_)
        read_ = [this](const QString& folder, const QString& fileName) {
            return examineDataFile(folder, fileName, scratch_);
        };
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderListing::folderChanged);
}

FolderListing::~FolderListing() {
    for (Scheduler::TimerId call : {sliceCall_, checkCall_, settleCall_})
        if (call) scheduler_.cancel(call);
}

void FolderListing::RefreshFileList() {
    const QString folder = folderSource_();
    if (active_) watchFolder(folder);
    const qint64 checkStart_ms = scheduler_.now_ms();
    std::vector<FolderEntry> files = listDataFiles(folder);
    // The folder is part of the signature: another folder always means another list.
    const QString signature = cleanFolder(folder) + u'\n' + listSignature(files);
    refreshInterval_ms_ = std::clamp((scheduler_.now_ms() - checkStart_ms) * kCheckCostFactor,
                                     qint64{kRefreshInterval_ms}, kLongestRefreshInterval_ms);
    if (signature == signature_) return;
    signature_ = signature;
    startRebuild(folder, std::move(files));
}

void FolderListing::forgetList() {
    signature_ = kEmptySignature;
}

void FolderListing::startRebuild(const QString& folder, std::vector<FolderEntry> files) {
    if (sliceCall_) scheduler_.cancel(sliceCall_);
    folder_ = folder;
    cache_.beginPass(cleanFolder(folder));
    scan_ = std::make_unique<FolderScan>(
        folder, std::move(files), [this](const FolderEntry& f) { return cache_.rowOf(f, read_); });
    emit rebuildStarted();
    sliceCall_ = scheduler_.callAfter(0, [this] { scanSlice(); });
}

void FolderListing::scanSlice() {
    sliceCall_ = 0;
    const qint64 sliceStart_ms = scheduler_.now_ms();
    while (!scan_->atEnd() && scheduler_.now_ms() - sliceStart_ms < kScanSlice_ms)
        scan_->examineNext();
    emit progressed(scan_->examined(), scan_->total());
    if (!scan_->atEnd()) {
        sliceCall_ = scheduler_.callAfter(0, [this] { scanSlice(); });
        return;
    }
    rows_ = scan_->takeSortedRows();
    scan_.reset();
    cache_.endPass();
    emit rebuilt();
}

void FolderListing::setActive(bool active) {
    active_ = active;
    if (checkCall_) scheduler_.cancel(checkCall_);
    if (settleCall_) scheduler_.cancel(settleCall_);
    checkCall_ = settleCall_ = 0;
    if (active)
        scheduleCheck();
    else
        unwatch();  // a hidden browser watches nothing and spends nothing
}

void FolderListing::scheduleCheck() {
    checkCall_ = scheduler_.callAfter(refreshInterval_ms_, [this] {
        checkCall_ = 0;
        RefreshFileList();
        scheduleCheck();
    });
}

void FolderListing::folderChanged() {
    if (!active_) return;
    if (settleCall_) scheduler_.cancel(settleCall_);
    settleCall_ = scheduler_.callAfter(kFolderSettle_ms, [this] {
        settleCall_ = 0;
        RefreshFileList();
    });
}

void FolderListing::watchFolder(const QString& folder) {
    const QStringList watched = watcher_->directories();
    if (watched.size() == 1 && watched.first() == folder) return;
    unwatch();
    if (QFileInfo(folder).isDir()) watcher_->addPath(folder);
}

void FolderListing::unwatch() {
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
}

}  // namespace vantorix
