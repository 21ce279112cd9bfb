#include "history/HistoryEntry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include "history/AuditCodec.h"
#include "history/SqlStatement.h"
#include "kernel/Text.h"

namespace vantorix::history {
namespace {

using Json = QJsonObject;

QString optionalUtc(const QDateTime& t) {
    return t.isValid() ? utcText(t) : QString();
}

// The run's start, else the header's date and time (local), else when it was recorded.
QString runTime(const Json& o) {
    if (!o[u"run_start"].toString().isEmpty()) return o[u"run_start"].toString();
    const QDateTime header =
        QDateTime::fromString(headerDateTimeText(o[u"date"].toString(), o[u"time"].toString()),
                              QLatin1String(kDateTimeSecondsForm));
    return header.isValid() ? utcText(header) : o[u"recorded"].toString();
}

bool failed(sqlite3* db, QString& why) {
    why = sqlError(db);
    return false;
}

bool writeEvent(sqlite3* db, const Json& o, QString& why) {
    SqlStatement seen(db, "SELECT 1 FROM audit_event WHERE id = ?1");
    seen.bind(1, o[u"id"].toString());
    const int rc = seen.step();
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) return failed(db, why);
    SqlStatement last(db, "SELECT seq, chain FROM audit_event ORDER BY seq DESC LIMIT 1");
    const int lastRc = last.step();
    if (lastRc != SQLITE_ROW && lastRc != SQLITE_DONE) return failed(db, why);
    Fields fields;
    for (const QJsonValue& f : o[u"fields"].toArray())
        fields.emplace_back(f[0].toString(), f[1].toString());
    StoredColumns c{lastRc == SQLITE_ROW ? last.number(0) + 1 : 1,
                    o[u"id"].toString(),
                    o[u"time"].toString(),
                    o[u"kind"].toString(),
                    o[u"login"].toString(),
                    o[u"host"].toString(),
                    o[u"version"].toString(),
                    o[u"file"].toString(),
                    encodeFields(fields)};
    const QByteArray previous = lastRc == SQLITE_ROW ? last.bytes(1) : QByteArray(32, '\0');
    SqlStatement insert(db,
                        "INSERT INTO audit_event(seq, id, time, kind, login, host, version, "
                        "file, fields, chain) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    insert.bind(1, c.seq).bind(2, c.id).bind(3, c.time).bind(4, c.kind).bind(5, c.login);
    insert.bind(6, c.host).bind(7, c.version).bind(8, c.file).bindBlob(9, c.fields);
    insert.bindBlob(10, chainValue(previous, canonicalOf(c)));
    return insert.step() == SQLITE_DONE || failed(db, why);
}

constexpr const char* kUpsertFile = R"(
INSERT INTO file_record(path, sha256, size, run_time, recorded, date_text, time_text, test,
  operator, plate, notes, sets, wells, options, firmware, run_start, run_end, protocol,
  protocol_sha256, latest)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, 1)
ON CONFLICT(path, sha256) DO UPDATE SET recorded = excluded.recorded,
  run_start = iif(excluded.run_start = '', run_start, excluded.run_start),
  run_end = iif(excluded.run_end = '', run_end, excluded.run_end),
  run_time = iif(excluded.run_start = '', run_time, excluded.run_time),
  protocol = iif(excluded.protocol = '', protocol, excluded.protocol),
  protocol_sha256 = iif(excluded.protocol = '', protocol_sha256, excluded.protocol_sha256))";

bool writeFile(sqlite3* db, const Json& o, QString& why) {
    SqlStatement upsert(db, kUpsertFile);
    const char* texts[] = {"path",      "sha256",  nullptr,    nullptr,          "recorded",
                           "date",      "time",    "test",     "operator",       "plate",
                           "notes",     nullptr,   nullptr,    "options",        "firmware",
                           "run_start", "run_end", "protocol", "protocol_sha256"};
    for (int i = 0; i < 19; ++i)
        if (texts[i]) upsert.bind(i + 1, o[QLatin1String(texts[i])].toString());
    upsert.bind(3, qint64(o[u"size"].toDouble())).bind(4, runTime(o));
    upsert.bind(12, qint64(o[u"sets"].toInt())).bind(13, qint64(o[u"wells"].toInt()));
    if (upsert.step() != SQLITE_DONE) return failed(db, why);
    // The newest record of a path is the one its file is checked against.
    SqlStatement latest(db, "UPDATE file_record SET latest = (sha256 = ?1) WHERE path = ?2");
    latest.bind(1, o[u"sha256"].toString()).bind(2, o[u"path"].toString());
    return latest.step() == SQLITE_DONE || failed(db, why);
}

}  // namespace

Stamp stampNow(const QString& login, const QString& host, const QString& programVersion) {
    return {QUuid::createUuid().toString(QUuid::WithoutBraces), QDateTime::currentDateTimeUtc(),
            login, host, programVersion};
}

QByteArray eventEntry(const Event& event, const Stamp& stamp) {
    QJsonArray fields;
    for (const auto& [name, value] : event.fields) fields.append(QJsonArray{name, value});
    const Json o{{"entry", "event"},
                 {"id", stamp.id},
                 {"time", utcText(stamp.time)},
                 {"kind", kindName(event.kind)},
                 {"login", stamp.login},
                 {"host", stamp.host},
                 {"version", stamp.programVersion},
                 {"file", event.file},
                 {"fields", fields}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray fileEntry(const FileFacts& f, const QDateTime& recorded) {
    const Json o{{"entry", "file"},
                 {"recorded", utcText(recorded)},
                 {"path", f.path},
                 {"sha256", f.sha256},
                 {"size", double(f.size)},
                 {"date", f.header.dateText},
                 {"time", f.header.timeText},
                 {"test", f.header.test},
                 {"operator", f.header.operatorName},
                 {"plate", f.header.plateNo},
                 {"notes", f.header.notes},
                 {"sets", f.sets},
                 {"wells", f.wells},
                 {"options", f.options},
                 {"firmware", f.firmware},
                 {"run_start", optionalUtc(f.runStart)},
                 {"run_end", optionalUtc(f.runEnd)},
                 {"protocol", f.protocol},
                 {"protocol_sha256", f.protocolSha256}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

EntryWrite writeEntry(sqlite3* db, const QByteArray& entry, QString& why) {
    const Json o = QJsonDocument::fromJson(entry).object();
    const QString type = o[u"entry"].toString();
    if (type == u"event" && !o[u"id"].toString().isEmpty())
        return writeEvent(db, o, why) ? EntryWrite::Written : EntryWrite::Failed;
    if (type == u"file" && !o[u"path"].toString().isEmpty())
        return writeFile(db, o, why) ? EntryWrite::Written : EntryWrite::Failed;
    return EntryWrite::Unreadable;
}

}  // namespace vantorix::history
