#include "support/TinyTmpfs.h"

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <QFile>

namespace vantorix::test {

TinyTmpfs::TinyTmpfs(int size_kB) {
    const QByteArray options = "size=" + QByteArray::number(size_kB) + "k";
    mounted_ = dir_.isValid() && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                         "tmpfs", 0, options.constData()) == 0;
}

TinyTmpfs::~TinyTmpfs() {
    if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

void TinyTmpfs::fillLeaving(qint64 free_bytes) {
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(dir_.path()).constData(), &fs) != 0) return;
    const qint64 available = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    QFile filler(dir_.path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly) || available <= free_bytes) return;
    filler.write(QByteArray(available - free_bytes, 'x'));
}

ReadOnlyFile::ReadOnlyFile(const QString& path) : path_(path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mount(name.constData(), name.constData(), nullptr, MS_BIND, nullptr) != 0) return;
    active_ = true;
    if (::mount(nullptr, name.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        release();
}

void ReadOnlyFile::release() {
    if (active_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    active_ = false;
}

}  // namespace vantorix::test
