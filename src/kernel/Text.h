// Text and number rules shared by the whole program: numbers travel as decimal text and are
// read back leniently, and a few fixed display formats.
#pragma once

#include <QString>
#include <QStringView>

namespace vantorix {

// The number a text begins with (after leading blanks): optional sign, digits, optional
// fraction, optional exponent. A text that does not begin with a number reads as 0.
double leadingNumber(QStringView text);

// True when the whole text (surrounding blanks allowed) is one number: "1e2", " -3.5 ".
// "5.ovd", "" and "." are not.
bool isNumeric(QStringView text);

// Fixed-point text with at least minIntegerDigits digits before the point (leading zeros)
// and exactly `decimals` digits after it, rounded half away from zero: patterns "000.0"
// (3, 1), "0.0" (1, 1), "000" (3, 0), "0" (1, 0).
QString formatFixed(double value, int minIntegerDigits, int decimals);

// Plain decimal text of a single-precision (7 significant digits) or double-precision (15)
// number: "." as separator, no leading blank, exponent "E+NN"/"E-NN" only where the plain
// form cannot show the number.
QString singleText(float value);
QString doubleText(double value);

// The text as a terminal may show it: control characters (C0, DEL, C1) become escapes ("\n",
// "\r", "\t", "\x1b"), so a file's or the instrument's bytes can neither move the cursor nor
// forge a line of output. With keepLineBreaks a "\n" stays a line break (the program's own
// multi-line messages).
QString terminalText(QStringView text, bool keepLineBreaks = false);

// 1st, 2nd, 3rd, 4th, 11th, 12th, 13th, 21st, 111th.
QString ordinal(int n);

// The one form in which the program shows a date and time: "2026-12-06 15:04" (with seconds
// "2026-12-06 15:04:05").
inline constexpr const char* kDateTimeForm = "yyyy-MM-dd HH:mm";
inline constexpr const char* kDateTimeSecondsForm = "yyyy-MM-dd HH:mm:ss";
// A data file's header date ("12/6/2026") and time ("3:04:05 PM") in that form with seconds;
// a date or time that does not read so is shown as stored.
QString headerDateTimeText(const QString& date, const QString& time);

// Whole number nearest to value, halves away from zero, clamped into the 16-bit range.
qint16 toInt16(double value);

}  // namespace vantorix
