// The text of a data file in its one fixed layout (CR LF line ends).
#pragma once

#include <QDateTime>
#include <QString>

#include "kernel/ProgramVersion.h"
#include "plate/PlateDocument.h"

namespace vantorix {

// The whole file for every dataset of the document. The caller checks their number.
QString ovdFileText(const PlateDocument& d, const QDateTime& now, const ProgramVersion& v);

// "3/7/2025" and "9:05:07 AM": no leading zeros on month, day and hour.
QString ovdDateText(const QDate& date);
QString ovdTimeText(const QTime& time);

// A header value as written: every "<" dropped, since the reader would take it for a tag.
QString ovdValueText(const QString& text);

}  // namespace vantorix
