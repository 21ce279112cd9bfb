#include "history/PendingFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace vantorix::history {
namespace {

constexpr qint64 kMaxPendingBytes = 64 * 1024 * 1024;

QByteArray joined(const std::vector<QByteArray>& entries) {
    QByteArray all;
    for (const QByteArray& e : entries) all += e + '\n';
    return all;
}

#ifdef Q_OS_UNIX
QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// An exclusive lock on the file that is still the one at `path` (a replay may have renamed it
// away between our open and our lock); -1 with why when it cannot be had.
int openLocked(const QString& path, QString& why) {
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) break;
        struct stat opened {
        }, named{};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &opened) == 0 &&
            ::stat(name.constData(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev)
            return fd;
        ::close(fd);
    }
    why = errnoText();
    return -1;
}

bool appendBytes(const QString& path, const QByteArray& bytes, QString& why) {
    const int fd = openLocked(path, why);
    if (fd < 0) return false;
    const ssize_t n = ::write(fd, bytes.constData(), size_t(bytes.size()));
    bool ok = n == ssize_t(bytes.size()) && ::fsync(fd) == 0;
    if (!ok) why = n >= 0 && n < ssize_t(bytes.size()) ? QStringLiteral("disk full") : errnoText();
    // A partly written line is cut off again, so the file holds whole entries only.
    if (!ok && n > 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && ::ftruncate(fd, st.st_size - n) != 0) why += u'.';
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

void waitForAppends(const QString& claim) {
    const int fd = ::open(QFile::encodeName(claim).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::flock(fd, LOCK_EX);
    ::close(fd);
}
#else
bool appendBytes(const QString& path, const QByteArray& bytes, QString& why) {
    QFile f(path);
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Append) &&
                    f.write(bytes) == bytes.size() && f.flush();
    if (!ok) why = f.errorString();
    return ok;
}

void waitForAppends(const QString&) {}
#endif

}  // namespace

QString pendingPathOf(const QString& databasePath) {
    return databasePath + QStringLiteral(".pending");
}

bool appendPending(const QString& pendingPath, const std::vector<QByteArray>& entries,
                   QString& why) {
    return entries.empty() || appendBytes(pendingPath, joined(entries), why);
}

QStringList claimPending(const QString& pendingPath) {
    const QFileInfo info(pendingPath);
    QStringList claims;
    const QString prefix = info.fileName() + u'.';
    for (const QString& name : info.dir().entryList({prefix + u'*'}, QDir::Files, QDir::Name))
        claims << info.dir().filePath(name);
    if (!info.exists()) return claims;
    // Milliseconds first, so names sort by age; the process id keeps two programs apart.
    const QString claim =
        pendingPath + QStringLiteral(".%1-%2")
                          .arg(QDateTime::currentMSecsSinceEpoch(), 13, 10, QLatin1Char('0'))
                          .arg(QCoreApplication::applicationPid());
    if (QFile::rename(pendingPath, claim)) claims << claim;
    return claims;
}

bool readClaim(const QString& claimPath, std::vector<QByteArray>& entries, QString& why) {
    waitForAppends(claimPath);
    QFile f(claimPath);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxPendingBytes) {
        why = f.isOpen() ? QStringLiteral("the pending file is too large") : f.errorString();
        return false;
    }
    entries.clear();
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.isEmpty()) entries.push_back(line);
    return true;
}

}  // namespace vantorix::history
