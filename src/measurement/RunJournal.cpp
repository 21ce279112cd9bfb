#include "measurement/RunJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vantorix {

namespace journal {

QByteArray record(const QByteArray& payload) {
    const quint16 sum = qChecksum(QByteArrayView(payload));
    return payload + " *" + QByteArray::number(sum, 16) + '\n';
}

bool payloadOf(const QByteArray& line, QByteArray& payload) {
    const qsizetype star = line.lastIndexOf(" *");
    if (star < 0) return false;
    bool ok = false;
    const uint sum = line.mid(star + 2).toUInt(&ok, 16);
    if (!ok) return false;
    payload = line.left(star);
    return sum == qChecksum(QByteArrayView(payload));
}

// "=" keeps an empty text a field of its own.
QByteArray encode(const QString& text) {
    return '=' + text.toUtf8().toPercentEncoding();
}

QString decode(const QByteArray& field) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(1)));
}

}  // namespace journal

namespace {

QByteArray headerRecords(const JournalHeader& h, const QDateTime& started) {
    using journal::encode;
    using journal::record;
    QByteArray wells;
    for (const auto& row : h.options.SelectedWells)
        for (bool selected : row) wells += selected ? '1' : '0';
    QByteArray out = record(journal::kMagic);
    out += record("started " + started.toString(Qt::ISODate).toLatin1());
    out += record("options " + wells + ' ' + QByteArray::number(h.options.Sensitive) + ' ' +
                  QByteArray::number(h.sets));
    const std::pair<const char*, const QString*> texts[] = {
        {"operator", &h.operatorName}, {"test", &h.test}, {"plate", &h.plateNo},
        {"notes", &h.notes},           {"file", &h.file}, {"firmware", &h.firmwareVersion}};
    for (const auto& [key, text] : texts)
        out += record(QByteArray("text ") + key + ' ' + encode(*text));
    return out;
}

QString newJournalName(const QDateTime& started) {
    static std::atomic<int> counter{0};
    return QStringLiteral("run-%1-%2-%3.journal")
        .arg(started.toString(QStringLiteral("yyyyMMdd-HHmmss")))
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

}  // namespace

RunJournal::RunJournal(QString folder) : folder_(std::move(folder)) {}

RunJournal::~RunJournal() {
    close();
}

bool RunJournal::begin(const JournalHeader& header, const QDateTime& started) {
    close();
    path_.clear();
    error_.clear();
    if (folder_.isEmpty()) return false;
#ifdef Q_OS_UNIX
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("cannot create the recovery folder %1").arg(folder_);
        return false;
    }
    if (!createLocked(started)) return false;
    if (!append(headerRecords(header, started))) return false;
    // The journal's name must survive a power cut as well as its contents.
    const int dir = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
#else
    Q_UNUSED(s);
    Q_UNUSED(started);
    return false;
#endif
}

#ifdef Q_OS_UNIX
namespace {

// A listing takes a shared lock on each journal for a moment; a live run's lock waits it out.
bool lockBriefly(int fd) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        ::usleep(25'000);
    }
    return false;
}

}  // namespace
#endif

// A new journal, locked while the run lasts so that no listing offers it and no recovery
// takes it. One that cannot be locked is never used: it goes, and a new name is tried.
bool RunJournal::createLocked(const QDateTime& started) {
#ifdef Q_OS_UNIX
    for (int name = 0; name < 3; ++name) {
        path_ = folder_ + u'/' + newJournalName(started);
        const QByteArray encoded = QFile::encodeName(path_);
        fd_ = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno == EEXIST) continue;
        if (fd_ < 0) {
            error_ =
                QStringLiteral("%1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
            path_.clear();
            return false;
        }
        if (createdHook_) createdHook_(path_);
        if (lockBriefly(fd_)) return true;
        ::close(fd_);
        fd_ = -1;
        ::unlink(encoded.constData());
    }
    error_ =
        QStringLiteral("no new journal in %1 could be locked against other programs").arg(folder_);
    path_.clear();
#else
    Q_UNUSED(started);
#endif
    return false;
}

bool RunJournal::recordReading(int set, int row, int column, const QString& value,
                               const QString& time) {
    if (!isOpen()) return false;
    return append(journal::record("reading " + QByteArray::number(set) + ' ' +
                                  QByteArray::number(row) + ' ' + QByteArray::number(column) + ' ' +
                                  journal::encode(value) + ' ' + journal::encode(time)));
}

bool RunJournal::recordDataset(int set, const QString& firmwareVersion) {
    if (!isOpen()) return false;
    return append(journal::record("text firmware " + journal::encode(firmwareVersion)) +
                  journal::record("dataset " + QByteArray::number(set)));
}

bool RunJournal::append(const QByteArray& records) {
#ifdef Q_OS_UNIX
    qsizetype done = 0;
    while (done < records.size()) {
        const ssize_t n = ::write(fd_, records.constData() + done, size_t(records.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    if (done == records.size() && ::fdatasync(fd_) == 0) return true;
    error_ = QStringLiteral("%1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
    close();
#else
    Q_UNUSED(records);
#endif
    return false;
}

void RunJournal::close() {
#ifdef Q_OS_UNIX
    if (fd_ >= 0) ::close(fd_);
#endif
    fd_ = -1;
}

void RunJournal::remove() {
    close();
    if (!path_.isEmpty()) QFile::remove(path_);
    path_.clear();
}

}  // namespace vantorix
