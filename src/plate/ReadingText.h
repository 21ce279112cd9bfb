// The text forms of readings, as data files, run journals and the instrument's messages hold
// them: "-1" for none, and tokens that may be no number at all.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace vantorix {

// Only a whole, finite, non-negative number is a reading: "-1", "-5" and a text that is no
// number ("17O194", "abc", "1749x5", "nan", "inf", "") are none.
std::optional<double> readingFromText(QStringView text);

// A time is read leniently, as the grid always has: the number the text begins with ("" and a
// text that is no number read 0); a negative time ("-1") is none.
std::optional<double> secondsFromText(QStringView text);

// The number as written ("12345", "1000.25"), or "-1" for none.
QString readingToText(std::optional<double> value);

}  // namespace vantorix
