// The pending file beside the history database: entries that could not be written to the
// database wait there, one line each, in the order they happened. Appends from several programs
// interleave whole lines; a program replaying the entries first renames the file to a claim of
// its own, so an entry appended meanwhile goes to a new pending file and is never lost.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantorix::history {

// "<database>.pending"
QString pendingPathOf(const QString& databasePath);

// Appends each entry as one line and makes it durable; false (and why) when any step fails,
// in which case the caller keeps the entries itself.
bool appendPending(const QString& pendingPath, const std::vector<QByteArray>& entries,
                   QString& why);

// Every claim waiting to be replayed, oldest first: those left by a replay that did not finish,
// then the pending file itself, renamed to a new claim. Empty when nothing waits.
QStringList claimPending(const QString& pendingPath);

// The entries of a claim, once any append still writing to it has finished.
bool readClaim(const QString& claimPath, std::vector<QByteArray>& entries, QString& why);

}  // namespace vantorix::history
