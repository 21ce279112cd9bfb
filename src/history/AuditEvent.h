// What the audit trail records: one event is a kind and its named fields, in a fixed order.
// The functions below build each kind with its fields, so every caller spells them the same way.
#pragma once

#include <QDateTime>
#include <QString>
#include <utility>
#include <vector>

namespace vantorix::history {

enum class EventKind {
    RunStarted,
    RunCompleted,
    RunCancelled,
    RunRecovered,
    FileSaved,
    FileSavedElsewhere,
    HeaderChanged,
    ExportWritten,
    ReportWritten,
    AnalysisDone,
    FirmwareSent,
    SettingsChanged,
};

// The stored name of a kind ("run.started", "file.saved", ...); "" for no kind.
QString kindName(EventKind kind);
// The kind a stored name names; false when it names none.
bool kindFromName(const QString& name, EventKind& kind);

using Fields = std::vector<std::pair<QString, QString>>;

struct Event {
    EventKind kind = EventKind::RunStarted;
    QString file;   // the data file the event concerns (absolute path), "" when none yet
    Fields fields;  // in the order they were given
    bool operator==(const Event&) const = default;
};

// The value of a field, "" when the event has none of that name.
QString fieldValue(const Fields& fields, const QString& name);

struct ExcludedWell {
    QString well;  // "B7"
    QString reason;
};

// One builder per kind. SHA-256 values are lower-case hex text (64 characters).
namespace events {
Event runStarted(const QString& protocol = {}, const QString& protocolSha256 = {});
Event runCompleted(const QString& file, int sets);
Event runCancelled(const QString& reason, const QString& file = {});
Event runRecovered(const QString& journal, const QString& file);
Event fileSaved(const QString& file, const QString& sha256);
// The run could not be saved at `intended` (reason) and was saved at `file` instead.
Event fileSavedElsewhere(const QString& intended, const QString& reason, const QString& file,
                         const QString& sha256);
Event headerChanged(const QString& file, const QString& field, const QString& oldText,
                    const QString& newText);
// kind: "csv", "xlsx", ...; file: the data file exported, path: what was written.
Event exportWritten(const QString& file, const QString& kind, const QString& path);
Event reportWritten(const QString& file, const QString& kind, const QString& path);
Event analysisDone(const QString& file, const QString& layoutSha256, const QString& model,
                   const std::vector<ExcludedWell>& excluded);
// outcome: "sent", "failed: <why>", "cancelled".
Event firmwareSent(const QString& imageSha256, const QString& outcome);
Event settingsChanged(const QString& key, const QString& oldValue, const QString& newValue);
}  // namespace events

// An event as the audit trail holds it.
struct StoredEvent {
    qint64 seq = 0;  // 1, 2, 3, ... in the order the events entered the trail
    QString id;      // unique, given when the event happened (replaying it twice adds it once)
    QDateTime time;  // UTC, when it happened
    QString login, host, programVersion;
    Event event;
    QByteArray chain;  // SHA-256 (32 bytes) over the previous chain value and canonicalBytes()
};

// The bytes the chain is computed over, stable across versions of the program:
//   "vantorix-audit 1\n", then for each of seq, id, time ("2026-12-07T01:53:57.123Z"), kind,
//   login, host, version and file, then every field of the event in order, "NAME LENGTH\nVALUE\n"
//   where NAME is the field's name, LENGTH the number of bytes of VALUE in UTF-8 in decimal
//   and VALUE the text in UTF-8. Seq is decimal, kind its stored name ("run.started").
QByteArray canonicalBytes(const StoredEvent& e);
// SHA-256(previous || canonical); the first event's previous is 32 zero bytes.
QByteArray chainValue(const QByteArray& previous, const QByteArray& canonical);

}  // namespace vantorix::history
