// The stored forms of an audit event: its fields as text and the canonical bytes of a row as
// the database holds it (so a check sees exactly what is stored, even text no event would have).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "history/AuditEvent.h"

namespace vantorix::history {

// "NAME LENGTH\nVALUE\n" for each field in order.
QByteArray encodeFields(const Fields& fields);
// The fields back; false when the text is not in that form.
bool decodeFields(const QByteArray& text, Fields& fields);
// "2026-12-07T01:53:57.123Z"
QString utcText(const QDateTime& time);

// One row of the audit table as stored.
struct StoredColumns {
    qint64 seq = 0;
    QString id, time, kind, login, host, version, file;
    QByteArray fields;
};
QByteArray canonicalOf(const StoredColumns& c);
StoredColumns columnsOf(const StoredEvent& e);

}  // namespace vantorix::history
