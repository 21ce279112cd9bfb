#include "files/FolderScan.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

#include "files/DateTimeSortKey.h"
#include "files/OvdHeaderParse.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

#ifdef Q_OS_UNIX
// One stat per data file: the folder is listed at every check while the browser shows, and
// with thousands of files the calls of a general directory iterator (three per file) dominate.
void collectDataFiles(const QString& folder, std::vector<FolderEntry>& out) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        // Hidden files are left out, as a file dialog leaves them out.
        if (name.startsWith(u'.') || !name.endsWith(QLatin1String(".ovd"), Qt::CaseInsensitive))
            continue;
        struct stat info {};
        // Only regular files (links followed): reading a FIFO would stall the listing.
        if (::fstatat(fd, entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) continue;
        out.push_back({name, qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1'000'000,
                       qint64(info.st_size)});
    }
    ::closedir(dir);
}
#else
void collectDataFiles(const QString& folder, std::vector<FolderEntry>& out) {
    // Without QDir::CaseSensitive the pattern matches "A.OVD" too, as on the instrument's PCs.
    QDirIterator it(folder, {QStringLiteral("*.ovd")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // Only regular files (links followed): reading a FIFO would stall the listing.
        if (!info.isFile()) continue;
        out.push_back({info.fileName(), info.lastModified().toMSecsSinceEpoch(), info.size()});
    }
}
#endif

}  // namespace

std::vector<FolderEntry> listDataFiles(const QString& folder) {
    std::vector<FolderEntry> out;
    if (folder.isEmpty()) return out;
    collectDataFiles(folder, out);
    // Name order, letter case ignored (ties in code order, so the order is always the same).
    std::sort(out.begin(), out.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int c = a.fileName.compare(b.fileName, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName < b.fileName;
    });
    return out;
}

QString listSignature(const std::vector<FolderEntry>& files) {
    QString signature;
    signature.reserve(static_cast<qsizetype>(files.size()) * 48);
    for (const FolderEntry& f : files) {
        signature += f.fileName;
        signature += u'\t';
        signature += QString::number(f.modified_ms);
        signature += u'\t';
        signature += QString::number(f.size);
        signature += u'\n';
    }
    return signature;
}

std::optional<ListedFile> examineDataFile(const QString& folder, const QString& fileName,
                                          KeyStore& scratch) {
    // A file deleted or locked since the folder was listed simply fails here.
    if (!parseDataFileHeader(joinPath(folder, fileName), scratch)) return std::nullopt;
    DataHeader h;
    QString formatId;
    if (!ReadDataHeader(scratch, h, formatId)) return std::nullopt;
    return ListedFile{fileName,
                      h.test,
                      h.operatorName,
                      h.plateNo,
                      h.sets,
                      h.date + QStringLiteral("  ") + h.time,
                      DateTimeSortKey(h.date, h.time)};
}

void sortListedFiles(std::vector<ListedFile>& rows) {
    std::vector<std::pair<double, qsizetype>> order;
    order.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order.emplace_back(leadingNumber(rows[i].sortKey), static_cast<qsizetype>(i));
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ListedFile> sorted;
    sorted.reserve(rows.size());
    for (const auto& [key, index] : order) sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
}

FolderScan::FolderScan(QString folder, std::vector<FolderEntry> files, Examine examine)
    : folder_(std::move(folder)), files_(std::move(files)), examine_(std::move(examine)) {
    if (!examine_)
        examine_ = [this](const FolderEntry& file) {
            return examineDataFile(folder_, file.fileName, scratch_);
        };
}

int FolderScan::percent() const {
    return total() == 0 ? 0 : static_cast<int>(qint64(next_) * 100 / total());
}

void FolderScan::examineNext() {
    if (atEnd()) return;
    if (auto row = examine_(files_[next_])) rows_.push_back(std::move(*row));
    ++next_;
}

std::vector<ListedFile> FolderScan::takeSortedRows() {
    sortListedFiles(rows_);
    return std::move(rows_);
}

std::vector<ListedFile> scanFolder(const QString& folder) {
    FolderScan scan(folder, listDataFiles(folder));
    while (!scan.atEnd()) scan.examineNext();
    return scan.takeSortedRows();
}

}  // namespace vantorix
