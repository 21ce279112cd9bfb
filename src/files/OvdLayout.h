// The text of a data file in its one fixed layout (CR LF line ends).
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/ProgramState.h"

namespace vantorix {

// The whole file for the run FirstSet..LastSet of the state. The caller checks that range.
QString ovdFileText(const ProgramState& s, const QDateTime& now, const ProgramVersion& v);

// "3/7/2025" and "9:05:07 AM": no leading zeros on month, day and hour.
QString ovdDateText(const QDate& date);
QString ovdTimeText(const QTime& time);

// A header value as written: every "<" dropped, since the reader would take it for a tag.
QString ovdValueText(const QString& text);
// A well field as written: one token without "<" or blanks, so fields stay aligned; an empty
// text reads as 0 anyway and is written "0".
QString ovdFieldText(const QString& text);

}  // namespace vantorix
