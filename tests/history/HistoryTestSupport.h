// What the history tests share: a history attributed to a fixed person, place and version, and
// the sqlite3 shell as an outside program that reads or tampers with a database.
#pragma once

#include <QProcess>
#include <QStringList>

#include "history/History.h"
#include "support/TestSupport.h"

namespace vantorix::test {

// Written by "ana" on "lab-3" with version 2.1.0; every write tries the database again.
inline history::History::Options labOptions(int busyTimeout_ms = 3000, int retryAfter_ms = 0) {
    return {busyTimeout_ms, retryAfter_ms, QStringLiteral("ana"), QStringLiteral("lab-3"),
            QStringLiteral("2.1.0")};
}

inline history::FileFacts fileFacts(const QString& path, const QString& sha256, int sets = 0,
                                    const QString& protocol = {}) {
    history::FileFacts f;
    f.path = path;
    f.sha256 = sha256;
    f.sets = sets;
    f.protocol = protocol;
    return f;
}

// Runs the sqlite3 shell on a database: its exit code and what it printed (stdout + stderr).
inline std::pair<int, QString> sqliteShell(const QString& database, const QString& sql) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), database, sql});
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll()).trimmed()};
}

// "name=value; name=value" of an event's fields.
inline QString fieldsText(const history::Fields& fields) {
    QStringList parts;
    for (const auto& [name, value] : fields) parts << name + u'=' + value;
    return parts.join(QStringLiteral("; "));
}

}  // namespace vantorix::test
