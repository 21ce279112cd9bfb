// The run history and audit trail of one user (or of a lab, when a setting points at a shared
// folder): one SQLite database. The data files and run journals stay the primary record: a
// history that cannot be written never stops the program. What cannot be written now waits in
// a small pending file beside the database and is written, in order, at the next open or write
// that succeeds.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "history/AuditEvent.h"
#include "plate/PlateDocument.h"

struct sqlite3;

namespace vantorix {
class SettingsStore;
}

namespace vantorix::history {

// ~/.local/share/vantorix/history.sqlite (beside the recovery folder of run journals).
QString defaultHistoryPath();
// The setting History/Database when it names a file, else defaultHistoryPath().
QString historyPath(const SettingsStore& settings);

// Lower-case hex SHA-256 of a file's bytes; "" when it cannot be read.
QString fileSha256(const QString& path);
QString bytesSha256(const QByteArray& bytes);

enum class Written {
    Now,      // in the database
    Pending,  // kept in the pending file; written at the next open or write that succeeds
    Held,     // neither could be written: kept in memory, retried by the next write
};

// A data file as the history records it.
struct FileFacts {
    QString path;    // absolute
    QString sha256;  // of the file's bytes, lower-case hex
    qint64 size = 0;
    PlateHeader header;
    int sets = 0;
    int wells = 0;       // wells selected
    QString options;     // the run options as text ("Presamples=0;Postsamples=20;...")
    QString firmware;    // the instrument's firmware version
    QDateTime runStart;  // UTC; invalid when not known (a file opened, not measured here)
    QDateTime runEnd;    // UTC
    QString protocol;    // the protocol the run used, "" for none
    QString protocolSha256;
};

// Facts of a document and the bytes of the file it was written to or read from.
FileFacts factsOf(const QString& path, const QByteArray& bytes, const PlateDocument& document,
                  const QDateTime& runStart = {}, const QDateTime& runEnd = {});

// One run: the latest facts recorded for one file's bytes.
struct RunRow {
    qint64 id = 0;
    QDateTime when;      // UTC: the run's start, else the header's date and time, else recorded
    QDateTime recorded;  // UTC: when the history last saw these bytes
    FileFacts facts;
};

struct RunFilter {
    // Each text matches where it occurs, in any case; "" matches everything.
    QString operatorName, test, plate;
    QString file;     // the exact path
    QDateTime since;  // when >= since (invalid: no bound)
    QDateTime until;  // when < until
    int limit = 0;    // newest first; 0: all
};

struct EventFilter {
    QString file;     // the exact path; "" all
    QDateTime since;  // time >= since
};

struct ChainCheck {
    bool ok = true;
    qint64 checked = 0;   // events checked
    qint64 firstBad = 0;  // seq of the first event whose chain value does not match
    QString problem;      // what is wrong there, for the user
    QByteArray last;      // the last chain value (32 bytes), to be kept elsewhere as an anchor
};

// A recorded file that exists but whose bytes no longer match the latest recorded SHA-256.
struct ChangedFile {
    QString path, recordedSha256, actualSha256;
};

// One connection to the database: use a History from one thread at a time (a worker thread
// opens a History of its own).
class History {
  public:
    struct Options {
        int busyTimeout_ms = 3000;  // a writer waits this long for another before giving up
        // After a write failed, what follows goes straight to the pending file for this long,
        // so a locked database does not hold up every event for busyTimeout_ms.
        int retryAfter_ms = 30000;
        // Who and what the events are attributed to; empty: the login name, the host name and
        // the program's version.
        QString login, host, programVersion;
    };

    // Opens (creating when needed) the database at path and writes what waits in the pending
    // file. A file that is not a database, or whose structure cannot be read, is renamed to
    // "<name>.damaged-<yyyyMMdd-HHmmss>" and a new one created; setAsideMessage() says so.
    explicit History(const QString& path);
    History(const QString& path, const Options& options);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    QString path() const { return path_; }
    bool isOpen() const { return db_ && schemaReady_; }

    Written recordFile(const FileFacts& facts);
    Written appendEvent(const Event& event);

    // The message for the user the first time something could not be written now; "" before
    // that and on every later call, so the user hears it once.
    QString takeWriteNotice();
    // Non-empty when the database found at start was damaged and set aside (once).
    QString takeSetAsideNotice();

    std::vector<RunRow> runs(const RunFilter& filter) const;
    std::vector<StoredEvent> events(const EventFilter& filter = {}) const;
    // Recomputes the chain over every event in order.
    ChainCheck verifyChain() const;
    // Every recorded file that still exists and whose bytes differ from its latest record.
    std::vector<ChangedFile> changedFiles() const;
    // PRAGMA integrity_check: "" when the database is sound, else what it reported. Reads the
    // whole file (a second or more for a large history), so the desktop program runs it on a
    // worker thread with a History of its own; a damaged database is then set aside.
    QString checkIntegrity();

  private:
    bool open(QString& why);
    bool prepare(QString& why);
    void close();
    void setAside(const QString& why);
    Written write(const QByteArray& entry);
    // The pending file's entries and those held in memory, in order, before anything new.
    bool writeWaiting(QString& why);
    bool replayPending(QString& why);
    bool writeEntries(const std::vector<QByteArray>& entries, QString& why);
    bool failed(QString& why);

    QString path_;
    Options options_;
    sqlite3* db_ = nullptr;
    bool schemaReady_ = false;
    bool claimsLeft_ = false;             // a replay did not finish: its claims wait
    bool reopen_ = false;                 // a write failed for a reason other than a lock
    std::pair<quint64, quint64> fileId_;  // of the file opened
    QElapsedTimer lastFailure_;     // since the last write that failed; invalid after a success
    QString failure_;               // why it failed
    std::vector<QByteArray> held_;  // entries neither the database nor the pending file took
    QString writeNotice_, setAsideNotice_;
    bool writeNoticeGiven_ = false;
};

}  // namespace vantorix::history
