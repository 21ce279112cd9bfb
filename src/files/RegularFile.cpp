#include "files/RegularFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#endif

namespace vantorix {

namespace {

void setReason(QString* reason, const QString& text) {
    if (reason) *reason = text;
}

#ifdef Q_OS_UNIX
QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral("it is a pipe (FIFO), not a file");
    if (S_ISDIR(mode)) return QStringLiteral("it is a folder, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("it is a device, not a file");
    return QStringLiteral("it is not a regular file");
}
#endif

}  // namespace

bool openRegularFile(QFile& file, const QString& path, QString* reason, QIODevice::OpenMode extra) {
#ifdef Q_OS_UNIX
    // Non-blocking, so opening a FIFO with no writer returns at once; the type is then taken
    // from the open descriptor, so a file swapped after a check cannot slip through.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setReason(reason, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setReason(reason, kindOf(st.st_mode));
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | extra, QFileDevice::AutoCloseHandle)) {
        setReason(reason, file.errorString());
        ::close(fd);
        return false;
    }
    return true;
#else
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile()) {
        setReason(reason, QStringLiteral("it is not a regular file"));
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | extra)) {
        setReason(reason, file.errorString());
        return false;
    }
    return true;
#endif
}

bool readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason) {
    QFile file;
    if (!openRegularFile(file, path, reason)) return false;
    const auto tooLarge = [&] {
        setReason(reason, QStringLiteral("it is larger than %1 MB, too large for this kind of file")
                              .arg(maxBytes / (1024 * 1024)));
        return false;
    };
    if (file.size() > maxBytes) return tooLarge();
    bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        setReason(reason, file.errorString());
        return false;
    }
    if (bytes.size() > maxBytes) {
        bytes.clear();
        return tooLarge();
    }
    return true;
}

}  // namespace vantorix
