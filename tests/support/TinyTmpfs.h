// A small memory file system mounted for one test, to make writes fail with a full disk, and a
// file made read-only by a mount.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vantorix::test {

class TinyTmpfs {
  public:
    // Mounts a tmpfs of size_kB; mounted() is false where mounting is not permitted.
    explicit TinyTmpfs(int size_kB = 64);
    ~TinyTmpfs();
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Fills the file system until fewer than free_bytes remain.
    void fillLeaving(qint64 free_bytes);

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Makes one file read-only while it lives, for root too (a read-only bind mount over it); the
// folder around it stays writable. active() is false where mounting is not permitted.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile() { release(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool active() const { return active_; }
    void release();

  private:
    QString path_;
    bool active_ = false;
};

}  // namespace vantorix::test
