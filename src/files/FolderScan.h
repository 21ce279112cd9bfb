// The file browser's model: the data files of one folder, each examined with a header-only
// parse and the header check, as rows of seven columns sorted oldest first. The dialog shows
// the rows and `vantorix-cli list` prints them.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "files/KeyStore.h"

namespace vantorix {

// A data file of the folder as the listing sees it.
struct FolderEntry {
    QString fileName;  // without folder
    qint64 modified_ms = 0;
    qint64 size = 0;
};

// One listed file: the grid's seven columns, the last one hidden.
struct ListedFile {
    QString fileName;
    QString test;
    QString operatorName;
    QString plateNo;
    QString sets;
    QString dateTime;  // date, two spaces, time
    QString sortKey;   // DateTimeSortKey of date and time

    bool operator==(const ListedFile&) const = default;
};

// Never the signature of a real listing: forces the next refresh to rebuild.
inline const QString kEmptySignature = QStringLiteral("empty");

// The folder's "*.ovd" files (any letter case) in name order, the order they are examined
// in. An unreadable or missing folder lists nothing.
std::vector<FolderEntry> listDataFiles(const QString& folder);

// The modification stamps of the listing, concatenated (with names and sizes, so a rename
// or a rewrite within the clock's resolution also counts as a change).
QString listSignature(const std::vector<FolderEntry>& files);

// Header-only parse of folder/fileName into `scratch` and the header check; the row, or
// nothing when the file cannot be read, fails to parse or is not a readable document.
std::optional<ListedFile> examineDataFile(const QString& folder, const QString& fileName,
                                          KeyStore& scratch);

// Oldest first: ascending by the key read as a number (an empty key reads as 0 and comes
// first); rows with equal keys keep their order.
void sortListedFiles(std::vector<ListedFile>& rows);

// A listing examined one file at a time, so a window can show progress between files.
class FolderScan {
  public:
    // How one file becomes a row (or nothing); by default examineDataFile.
    using Examine = std::function<std::optional<ListedFile>(const FolderEntry& file)>;

    FolderScan(QString folder, std::vector<FolderEntry> files, Examine examine = {});
    // The default examiner refers to this scan.
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    const QString& folder() const { return folder_; }
    int total() const { return static_cast<int>(files_.size()); }
    int examined() const { return next_; }
    bool atEnd() const { return next_ >= total(); }
    // Whole percent of the files examined so far.
    int percent() const;
    // Examines the next file; a file that is not listable is skipped.
    void examineNext();
    // The rows found, sorted; the scan is spent afterwards.
    std::vector<ListedFile> takeSortedRows();

  private:
    QString folder_;
    std::vector<FolderEntry> files_;
    int next_ = 0;
    Examine examine_;
    // Listing parses into a store of its own: the open document's store stays as it is.
    KeyStore scratch_;
    std::vector<ListedFile> rows_;
};

// The whole listing of a folder, sorted.
std::vector<ListedFile> scanFolder(const QString& folder);

}  // namespace vantorix
