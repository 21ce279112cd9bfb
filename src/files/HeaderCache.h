// What the file browser read from each file's header, kept per file with the size and
// modification time it had then, so a folder listed again is read only where it changed.
#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

#include "files/FolderScan.h"

namespace vantorix {

class HeaderCache {
  public:
    // Reads one file's header: its row, or nothing when the file is not listable.
    using ReadHeader =
        std::function<std::optional<ListedFile>(const QString& folder, const QString& fileName)>;

    // Starts a pass over `folder`'s files; what was kept for another folder is dropped.
    void beginPass(const QString& folder);
    // The file's row from the cache when its name, size and modification time match what
    // was kept, else read (a file not listable is kept as such, so it is not read again).
    std::optional<ListedFile> rowOf(const FolderEntry& file, const ReadHeader& read);
    // Ends the pass: files not met in it have left the folder and are dropped.
    void endPass();

  private:
    struct Entry {
        qint64 modified_ms = 0;
        qint64 size = 0;
        std::optional<ListedFile> row;
        quint64 pass = 0;  // the last pass that met the file
    };
    QString folder_;
    QHash<QString, Entry> entries_;
    quint64 pass_ = 0;
};

}  // namespace vantorix
