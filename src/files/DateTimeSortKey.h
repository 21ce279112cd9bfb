// The sort key of a data file's written date and time, so the file browser can list files
// oldest first.
#pragma once

#include <QString>

namespace vantorix {

// "yymmddhhmmss" (24-hour clock) from a date "month/day/year" and a time
// "hours:minutes:seconds AM" or "... PM". Each part keeps its last two digits, single digits
// get a leading zero. "" when the date lacks one of its two "/" or the time one of its two ":"
// or the space before the AM/PM marker.
QString DateTimeSortKey(const QString& date, const QString& time);

}  // namespace vantorix
