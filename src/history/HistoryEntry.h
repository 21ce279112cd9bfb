// One entry of the history as it travels: an event stamped when it happened, or the facts of
// a file. Entries are one-line JSON texts, so the same form waits in the pending file and is
// written to the database, and a replayed entry is the entry as it was made.
#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "history/AuditEvent.h"
#include "history/History.h"

namespace vantorix::history {

// Who made an event, where and when.
struct Stamp {
    QString id;  // unique
    QDateTime time;
    QString login, host, programVersion;
};
Stamp stampNow(const QString& login, const QString& host, const QString& programVersion);

QByteArray eventEntry(const Event& event, const Stamp& stamp);
QByteArray fileEntry(const FileFacts& facts, const QDateTime& recorded);

enum class EntryWrite { Written, Unreadable, Failed };
// Writes one entry; the caller holds the write transaction. An event already in the trail (a
// replay repeated) is not added again.
EntryWrite writeEntry(sqlite3* db, const QByteArray& entry, QString& why);

}  // namespace vantorix::history
