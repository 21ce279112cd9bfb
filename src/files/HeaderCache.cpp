#include "files/HeaderCache.h"

namespace vantorix {

void HeaderCache::beginPass(const QString& folder) {
    if (folder != folder_) entries_.clear();
    folder_ = folder;
    ++pass_;
}

std::optional<ListedFile> HeaderCache::rowOf(const FolderEntry& file, const ReadHeader& read) {
    Entry& e = entries_[file.fileName];
    if (e.pass == 0 || e.modified_ms != file.modified_ms || e.size != file.size)
        e = {file.modified_ms, file.size, read(folder_, file.fileName), pass_};
    e.pass = pass_;
    return e.row;
}

void HeaderCache::endPass() {
    entries_.removeIf(
        [this](const QHash<QString, Entry>::iterator& it) { return it->pass != pass_; });
}

}  // namespace vantorix
