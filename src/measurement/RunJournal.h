// The run journal: from a run's first reading, every accepted reading and every completed
// dataset is appended to a file in the per-user recovery folder and made durable before the
// run goes on, so a crash, a kill or a power cut loses nothing that reached the program. The
// journal is removed once the run's file is saved; one left behind is offered for recovery.
//
// One record per line, "<fields> *<checksum>": a line cut short by a crash fails its checksum
// and is left out when the journal is read back (RunRecovery).
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "kernel/DataPaths.h"
#include "kernel/RunOptions.h"

namespace vantorix {

// What a journal records of its run before the first reading.
struct JournalHeader {
    RunOptions options;  // the wells selected and the sensitivity
    int sets = 1;        // the sets the run plans
    QString operatorName, test, plateNo, notes, file, firmwareVersion;
};

class RunJournal {
  public:
    // folder "" keeps no journal (a run's readings then live in memory only).
    explicit RunJournal(QString folder = recoveryFolder());
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    void setFolder(const QString& folder) { folder_ = folder; }
    // Opens a new journal for the run the header describes; the journal of an earlier run is
    // left where it is.
    bool begin(const JournalHeader& header, const QDateTime& started);
    bool isOpen() const { return fd_ >= 0; }
    // Each record is on disk when these return true.
    // The reading's value and time as the instrument sent them.
    bool recordReading(int set, int row, int column, const QString& value, const QString& time);
    bool recordDataset(int set, const QString& firmwareVersion);
    // The run's file is saved: the journal is no longer needed.
    void remove();
    // Closes the journal and keeps it for recovery.
    void close();

    QString path() const { return path_; }
    // Why the last record could not be written; empty while all is well.
    QString error() const { return error_; }

    // Called with each new journal's path after it is created and before it is locked, so a
    // test can hold a lock on it as another program might.
    void setCreatedHook(std::function<void(const QString& path)> hook) {
        createdHook_ = std::move(hook);
    }

  private:
    bool createLocked(const QDateTime& started);
    bool append(const QByteArray& records);

    QString folder_;
    QString path_;
    QString error_;
    int fd_ = -1;
    std::function<void(const QString&)> createdHook_;
};

// Record layout shared with the reader.
namespace journal {
inline constexpr char kMagic[] = "vantorix-run-journal 1";
// "<payload> *<checksum>\n"
QByteArray record(const QByteArray& payload);
// The payload of a whole, undamaged line; false when the checksum does not match.
bool payloadOf(const QByteArray& line, QByteArray& payload);
QByteArray encode(const QString& text);
QString decode(const QByteArray& field);
}  // namespace journal

}  // namespace vantorix
