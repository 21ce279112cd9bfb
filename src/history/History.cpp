#include "history/History.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSysInfo>

#include "history/HistoryEntry.h"
#include "history/HistorySchema.h"
#include "history/PendingFile.h"
#include "history/SqlStatement.h"
#include "kernel/ProgramVersion.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantorix::history {
namespace {

QString loginName() {
#ifdef Q_OS_UNIX
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}

bool isDamage(int rc) {
    return (rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT;
}

// What tells one file from another under the same name (device and inode); 0 where unknown.
std::pair<quint64, quint64> fileIdOf(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return {quint64(st.st_dev), quint64(st.st_ino)};
#else
    Q_UNUSED(path);
#endif
    return {0, 0};
}

// "<name>.damaged-20261207-015357", numbered when that name is taken.
QString asideName(const QString& path) {
    const QString base = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n) name = base + u'-' + QString::number(n);
    return name;
}

}  // namespace

History::History(const QString& path) : History(path, Options{}) {}

History::History(const QString& path, const Options& options)
    : path_(QFileInfo(path).absoluteFilePath()), options_(options) {
    if (options_.login.isEmpty()) options_.login = loginName();
    if (options_.host.isEmpty()) options_.host = QSysInfo::machineHostName();
    if (options_.programVersion.isEmpty()) options_.programVersion = ProgramVersion().text();
    QString why;
    if (open(why)) replayPending(why);
}

History::~History() {
    // Entries held in memory get a last chance at the database or the pending file.
    QString why;
    if (!held_.empty() && !writeWaiting(why)) appendPending(pendingPathOf(path_), held_, why);
    sqlite3_close_v2(db_);
}

bool History::open(QString& why) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int rc = sqlite3_open_v2(QFile::encodeName(path_).constData(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_extended_result_codes(db_, 1);
            sqlite3_busy_timeout(db_, options_.busyTimeout_ms);
            // Reading the schema reads the file's header: "not a database" shows here.
            const int read = execSql(db_, "SELECT count(*) FROM sqlite_schema");
            if (!isDamage(read)) {
                fileId_ = fileIdOf(path_);
                return prepare(why);
            }
        }
        why = sqlError(db_);
        const bool damaged = isDamage(sqlite3_errcode(db_));
        close();
        if (!damaged) return false;
        setAside(why);
    }
    return false;
}

bool History::prepare(QString& why) {
    // Write-ahead logging lets readers and one writer work at once; a read-only file keeps
    // the mode it has. With it, NORMAL keeps the database whole through a crash or a power
    // cut; what a power cut may take is the events since the log was last made durable (at
    // each checkpoint). Syncing every event would cost a few milliseconds each.
    if (writeAheadLogWorksOn(QStorageInfo(QFileInfo(path_).absolutePath()).fileSystemType())) {
        execSql(db_, "PRAGMA journal_mode = WAL");
        execSql(db_, "PRAGMA synchronous = NORMAL");
    } else {
        execSql(db_, "PRAGMA journal_mode = DELETE");
    }
    switch (prepareSchema(db_, why)) {
        case SchemaState::Ready:
            schemaReady_ = true;
            return true;
        case SchemaState::Newer:
            why = QStringLiteral("the database was made by a newer version of the program");
            return false;
        case SchemaState::Failed:
            return false;
    }
    return false;
}

void History::close() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    schemaReady_ = reopen_ = false;
}

void History::setAside(const QString& why) {
    close();
    const QString aside = asideName(path_);
    const bool moved = QFile::rename(path_, aside);
    // The write-ahead log belongs to the file set aside; the shared-memory index is rebuilt.
    QFile::rename(path_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    setAsideNotice_ =
        moved ? QStringLiteral(
                    "The run history %1 is damaged (%2). It was set aside as %3 and a "
                    "new history was started.")
                    .arg(QDir::toNativeSeparators(path_), why, QDir::toNativeSeparators(aside))
              : QStringLiteral("The run history %1 is damaged (%2) and could not be set aside.")
                    .arg(QDir::toNativeSeparators(path_), why);
}

bool History::failed(QString& why) {
    if (why.isEmpty()) why = sqlError(db_);
    const bool busy = (sqlite3_errcode(db_) & 0xff) == SQLITE_BUSY;
    execSql(db_, "ROLLBACK");
    // A file that was read-only or a disk that was full may be fixed while the program runs:
    // the next write opens the database afresh. A lock passes by itself.
    reopen_ = reopen_ || !busy;
    return false;
}

bool History::writeEntries(const std::vector<QByteArray>& entries, QString& why) {
    // Another program may have set a damaged file aside: write to the one now at path_.
    if (!schemaReady_ || reopen_ || fileIdOf(path_) != fileId_) {
        close();
        if (!open(why)) return false;
    }
    why.clear();
    if (execSql(db_, "BEGIN IMMEDIATE") != SQLITE_OK) return failed(why);
    std::vector<QByteArray> unreadable;
    for (const QByteArray& entry : entries) {
        const EntryWrite w = writeEntry(db_, entry, why);
        if (w == EntryWrite::Failed) return failed(why);
        if (w == EntryWrite::Unreadable) unreadable.push_back(entry);
    }
    if (execSql(db_, "COMMIT") != SQLITE_OK) return failed(why);
    // Lines no version of the program could read are kept for a person to look at.
    QString ignored;
    appendPending(path_ + QStringLiteral(".unreadable"), unreadable, ignored);
    return true;
}

bool History::replayPending(QString& why) {
    for (const QString& claim : claimPending(pendingPathOf(path_))) {
        std::vector<QByteArray> entries;
        if (!readClaim(claim, entries, why) || !writeEntries(entries, why)) {
            claimsLeft_ = true;
            return false;
        }
        QFile::remove(claim);
    }
    claimsLeft_ = false;
    return true;
}

bool History::writeWaiting(QString& why) {
    if (!db_ && !open(why)) return false;
    if ((claimsLeft_ || QFileInfo::exists(pendingPathOf(path_))) && !replayPending(why))
        return false;
    if (held_.empty()) return true;
    if (!writeEntries(held_, why)) return false;
    held_.clear();
    return true;
}

Written History::write(const QByteArray& entry) {
    if (!lastFailure_.isValid() || lastFailure_.elapsed() >= options_.retryAfter_ms) {
        if (writeWaiting(failure_) && writeEntries({entry}, failure_)) {
            lastFailure_.invalidate();
            return Written::Now;
        }
        lastFailure_.start();
    }
    const QString& why = failure_;
    held_.push_back(entry);
    QString pendingWhy;
    const bool kept = appendPending(pendingPathOf(path_), held_, pendingWhy);
    if (kept) held_.clear();
    if (!writeNoticeGiven_ && writeNotice_.isEmpty()) {
        writeNotice_ = kept ? QStringLiteral(
                                  "The run history %1 could not be written (%2). What it should "
                                  "hold waits in %3 and will be written later.")
                                  .arg(QDir::toNativeSeparators(path_), why,
                                       QDir::toNativeSeparators(pendingPathOf(path_)))
                            : QStringLiteral(
                                  "The run history %1 could not be written (%2), nor the file "
                                  "beside it (%3). It will be written when it can, as long as "
                                  "the program runs.")
                                  .arg(QDir::toNativeSeparators(path_), why, pendingWhy);
    }
    return kept ? Written::Pending : Written::Held;
}

Written History::appendEvent(const Event& event) {
    return write(
        eventEntry(event, stampNow(options_.login, options_.host, options_.programVersion)));
}

Written History::recordFile(const FileFacts& facts) {
    return write(fileEntry(facts, QDateTime::currentDateTimeUtc()));
}

QString History::takeWriteNotice() {
    if (writeNotice_.isEmpty()) return {};
    writeNoticeGiven_ = true;
    return std::exchange(writeNotice_, QString());
}

QString History::takeSetAsideNotice() {
    return std::exchange(setAsideNotice_, QString());
}

}  // namespace vantorix::history
