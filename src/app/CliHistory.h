// What the history commands of vantorix-cli share: the history they read (the setting's, or
// --history FILE, e.g. a copy handed to an auditor), the dates they take and the way they print.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

#include "history/History.h"

namespace vantorix::cli {

// Opens the history named by "--history FILE" (taken out of args) or by the settings, and
// reports on stderr a damaged database set aside. Null after a message when FILE is missing or
// the history cannot be opened; exitCode then says which (usage or failure).
std::unique_ptr<history::History> openCliHistory(QStringList& args, int& exitCode);

// "2026-12-01" (a local day: since its start, until its end) or "2026-12-01 14:30[:05]".
// Invalid when the text is neither.
QDateTime sinceBound(const QString& text);
QDateTime untilBound(const QString& text);

// Takes "NAME VALUE" out of args into value; false (after a message) when VALUE is missing.
bool takeOption(QStringList& args, const QString& name, QString& value);

// A text as one tab-separated field: tabs become blanks, control characters escapes.
QString cliField(const QString& text);

}  // namespace vantorix::cli
