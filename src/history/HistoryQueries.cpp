// Reading the history: runs, events, the chain check and the files changed since recorded.
#include <QFileInfo>
#include <QStringList>

#include "history/AuditCodec.h"
#include "history/History.h"
#include "history/SqlStatement.h"

namespace vantorix::history {
namespace {

constexpr const char* kRunColumns = R"(
SELECT id, run_time, recorded, path, sha256, size, date_text, time_text, test, operator, plate,
       notes, sets, wells, options, firmware, run_start, run_end, protocol, protocol_sha256
FROM file_record
WHERE latest = 1
  AND (?1 = '' OR operator LIKE ?1 ESCAPE '\')
  AND (?2 = '' OR test LIKE ?2 ESCAPE '\')
  AND (?3 = '' OR plate LIKE ?3 ESCAPE '\')
  AND (?4 = '' OR path = ?4)
)";

// A date range is read off the run_time index; texts alone are found by one pass over the
// table and the few matches sorted ("+run_time" keeps SQLite from visiting every row in index
// order); no filter at all reads the newest runs off the index.
QByteArray runsQuery(const RunFilter& f) {
    const bool ranged = f.since.isValid() || f.until.isValid();
    const bool texts = !f.operatorName.isEmpty() || !f.test.isEmpty() || !f.plate.isEmpty();
    QByteArray sql = kRunColumns;
    if (f.since.isValid()) sql += "  AND run_time >= ?5\n";
    if (f.until.isValid()) sql += "  AND run_time < ?6\n";
    sql +=
        texts && !ranged ? "ORDER BY +run_time DESC, id DESC" : "ORDER BY run_time DESC, id DESC";
    return sql + " LIMIT ?7";
}

// "2026-12-07T01:53:57.123Z", the one form the history writes, read without Qt's general
// date parser (a listing of thousands of runs reads three of them per run).
QDateTime fromUtcText(const QString& t) {
    if (t.size() != 24 || t[10] != u'T' || t[23] != u'Z')
        return QDateTime::fromString(t, Qt::ISODateWithMs);
    auto n = [&](int at, int digits) { return QStringView(t).mid(at, digits).toInt(); };
    return QDateTime(QDate(n(0, 4), n(5, 2), n(8, 2)),
                     QTime(n(11, 2), n(14, 2), n(17, 2), n(20, 3)), Qt::UTC);
}

// "%text%" with LIKE's own characters taken literally; "" for no filter. LIKE ignores the case
// of ASCII letters.
QString containing(QString text) {
    if (text.isEmpty()) return {};
    text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    return u'%' + text + u'%';
}

QString boundText(const QDateTime& t) {
    return t.isValid() ? utcText(t) : QString();
}

RunRow runOf(const SqlStatement& q) {
    RunRow r;
    r.id = q.number(0);
    r.when = fromUtcText(q.text(1));
    r.recorded = fromUtcText(q.text(2));
    FileFacts& f = r.facts;
    f.path = q.text(3);
    f.sha256 = q.text(4);
    f.size = q.number(5);
    f.header.dateText = q.text(6);
    f.header.timeText = q.text(7);
    f.header.test = q.text(8);
    f.header.operatorName = q.text(9);
    f.header.plateNo = q.text(10);
    f.header.notes = q.text(11);
    f.sets = int(q.number(12));
    f.wells = int(q.number(13));
    f.options = q.text(14);
    f.firmware = q.text(15);
    f.runStart = fromUtcText(q.text(16));
    f.runEnd = fromUtcText(q.text(17));
    f.protocol = q.text(18);
    f.protocolSha256 = q.text(19);
    return r;
}

StoredColumns columnsOf(const SqlStatement& q) {
    return {q.number(0), q.text(1), q.text(2), q.text(3), q.text(4),
            q.text(5),   q.text(6), q.text(7), q.bytes(8)};
}

StoredEvent eventOf(const SqlStatement& q) {
    const StoredColumns c = columnsOf(q);
    StoredEvent e{c.seq, c.id, fromUtcText(c.time), c.login, c.host, c.version, {}, q.bytes(9)};
    kindFromName(c.kind, e.event.kind);
    e.event.file = c.file;
    decodeFields(c.fields, e.event.fields);
    return e;
}

constexpr const char* kEvents =
    "SELECT seq, id, time, kind, login, host, version, file, fields, chain FROM audit_event "
    "WHERE (?1 = '' OR file = ?1) AND (?2 = '' OR time >= ?2) ORDER BY seq";

}  // namespace

std::vector<RunRow> History::runs(const RunFilter& filter) const {
    std::vector<RunRow> rows;
    if (!isOpen()) return rows;
    SqlStatement q(db_, runsQuery(filter).constData());
    q.bind(1, containing(filter.operatorName)).bind(2, containing(filter.test));
    q.bind(3, containing(filter.plate)).bind(4, filter.file);
    q.bind(5, boundText(filter.since)).bind(6, boundText(filter.until));
    q.bind(7, filter.limit > 0 ? qint64(filter.limit) : qint64(-1));
    while (q.step() == SQLITE_ROW) rows.push_back(runOf(q));
    return rows;
}

std::vector<StoredEvent> History::events(const EventFilter& filter) const {
    std::vector<StoredEvent> found;
    if (!isOpen()) return found;
    SqlStatement q(db_, kEvents);
    q.bind(1, filter.file).bind(2, boundText(filter.since));
    while (q.step() == SQLITE_ROW) found.push_back(eventOf(q));
    return found;
}

ChainCheck History::verifyChain() const {
    ChainCheck check;
    check.last = QByteArray(32, '\0');
    if (!isOpen()) return {false, 0, 0, QStringLiteral("the history could not be opened"), {}};
    SqlStatement q(db_, kEvents);
    q.bind(1, QString()).bind(2, QString());
    int rc = SQLITE_ROW;
    while ((rc = q.step()) == SQLITE_ROW) {
        const StoredColumns c = columnsOf(q);
        const QByteArray expected = chainValue(check.last, canonicalOf(c));
        if (c.seq != check.checked + 1 || expected != q.bytes(9)) {
            check.ok = false;
            check.firstBad = c.seq;
            check.problem =
                c.seq != check.checked + 1
                    ? QStringLiteral("event %1 follows event %2: an event was removed or inserted")
                          .arg(c.seq)
                          .arg(check.checked)
                    : QStringLiteral(
                          "event %1 (%2, %3) does not match its chain value: it was "
                          "changed, or an event before it was removed or inserted")
                          .arg(c.seq)
                          .arg(c.kind, c.time);
            return check;
        }
        check.last = expected;
        ++check.checked;
    }
    if (rc != SQLITE_DONE) return {false, check.checked, check.checked + 1, sqlError(db_), {}};
    return check;
}

std::vector<ChangedFile> History::changedFiles() const {
    std::vector<ChangedFile> changed;
    if (!isOpen()) return changed;
    SqlStatement q(db_, "SELECT path, sha256 FROM file_record WHERE latest = 1 ORDER BY path");
    while (q.step() == SQLITE_ROW) {
        const QString path = q.text(0), recorded = q.text(1);
        if (!QFileInfo(path).isFile()) continue;
        const QString actual = fileSha256(path);
        if (actual != recorded) changed.push_back({path, recorded, actual});
    }
    return changed;
}

QString History::checkIntegrity() {
    if (!db_) return {};
    QStringList report;
    {
        SqlStatement q(db_, "PRAGMA integrity_check(20)");
        int rc = SQLITE_ROW;
        while ((rc = q.step()) == SQLITE_ROW) report << q.text(0);
        if (rc != SQLITE_DONE) report << sqlError(db_);
    }
    if (report == QStringList{QStringLiteral("ok")}) return {};
    const QString why = report.join(QStringLiteral("; "));
    setAside(why);
    QString ignored;
    if (open(ignored)) replayPending(ignored);
    return why;
}

}  // namespace vantorix::history
