#include "history/HistorySchema.h"

#include "history/SqlStatement.h"

namespace vantorix::history {
namespace {

// Version 1: files and the audit trail. The audit table refuses changes and deletions.
constexpr const char* kVersion1 = R"(
CREATE TABLE file_record(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL, sha256 TEXT NOT NULL, size INTEGER NOT NULL,
  run_time TEXT NOT NULL, recorded TEXT NOT NULL,
  date_text TEXT NOT NULL, time_text TEXT NOT NULL, test TEXT NOT NULL,
  operator TEXT NOT NULL, plate TEXT NOT NULL, notes TEXT NOT NULL,
  sets INTEGER NOT NULL, wells INTEGER NOT NULL, options TEXT NOT NULL,
  firmware TEXT NOT NULL, run_start TEXT NOT NULL, run_end TEXT NOT NULL,
  UNIQUE(path, sha256));
CREATE TABLE audit_event(
  seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, time TEXT NOT NULL, kind TEXT NOT NULL,
  login TEXT NOT NULL, host TEXT NOT NULL, version TEXT NOT NULL, file TEXT NOT NULL,
  fields BLOB NOT NULL, chain BLOB NOT NULL);
CREATE INDEX audit_event_file ON audit_event(file);
CREATE TRIGGER audit_event_no_update BEFORE UPDATE ON audit_event
  BEGIN SELECT RAISE(ABORT, 'audit events are never changed'); END;
CREATE TRIGGER audit_event_no_delete BEFORE DELETE ON audit_event
  BEGIN SELECT RAISE(ABORT, 'audit events are never deleted'); END;
PRAGMA user_version = 1;
)";

// Version 2: the protocol a run used; runs found by date without a scan; the newest record of
// each path marked, so a history lists each file once.
constexpr const char* kVersion2 = R"(
ALTER TABLE file_record ADD COLUMN protocol TEXT NOT NULL DEFAULT '';
ALTER TABLE file_record ADD COLUMN protocol_sha256 TEXT NOT NULL DEFAULT '';
ALTER TABLE file_record ADD COLUMN latest INTEGER NOT NULL DEFAULT 1;
CREATE INDEX file_record_run_time ON file_record(run_time);
CREATE INDEX file_record_path ON file_record(path);
UPDATE file_record SET latest = (id = (SELECT max(id) FROM file_record r
                                       WHERE r.path = file_record.path));
PRAGMA user_version = 2;
)";

constexpr const char* kSteps[] = {kVersion1, kVersion2};

int userVersion(sqlite3* db) {
    SqlStatement q(db, "PRAGMA user_version");
    return q.step() == SQLITE_ROW ? int(q.number(0)) : -1;
}

bool fail(sqlite3* db, QString& why) {
    why = sqlError(db);
    execSql(db, "ROLLBACK");
    return false;
}

}  // namespace

bool writeAheadLogWorksOn(const QByteArray& fileSystemType) {
    const QByteArray t = fileSystemType.toLower();
    for (const char* network :
         {"nfs", "cifs", "smb", "fuse.sshfs", "9p", "afs", "ncp", "ceph", "glusterfs", "lustre"})
        if (t.startsWith(network)) return false;
    return true;
}

SchemaState prepareSchema(sqlite3* db, QString& why) {
    const int quick = userVersion(db);
    if (quick == kSchemaVersion) return SchemaState::Ready;
    if (quick > kSchemaVersion) return SchemaState::Newer;
    // Another program may be migrating at the same moment: decide inside the write lock.
    if (execSql(db, "BEGIN IMMEDIATE") != SQLITE_OK) {
        why = sqlError(db);
        return SchemaState::Failed;
    }
    const int version = userVersion(db);
    if (version < 0) return fail(db, why), SchemaState::Failed;
    if (version > kSchemaVersion) {
        execSql(db, "ROLLBACK");
        return SchemaState::Newer;
    }
    for (int step = version; step < kSchemaVersion; ++step)
        if (execSql(db, kSteps[step]) != SQLITE_OK) return fail(db, why), SchemaState::Failed;
    if (execSql(db, "COMMIT") != SQLITE_OK) return fail(db, why), SchemaState::Failed;
    return SchemaState::Ready;
}

}  // namespace vantorix::history
