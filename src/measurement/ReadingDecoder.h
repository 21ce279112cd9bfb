// Decoding of the instrument's display messages (the text between "<" and ">"): well readings
// "Reading: A, 1 = 12345" and the firmware version. Pure functions of the message text.
#pragma once

#include <QString>
#include <optional>

namespace vantorix {

struct DecodedReading {
    int row = 0;     // 1-8 for plate rows A-H; anything else is off the plate
    int column = 0;  // 1-12 on the plate
    QString value;   // the reading as sent, blanks trimmed
    bool operator==(const DecodedReading&) const = default;
};

// The reading a message carries: the row letter is the first character after "Reading:"
// (A = 1), the column the number in the first two characters after the first ",", the value
// the text after the first "=". Nothing for a message without "Reading:" or without a "="
// after it. A message with no row letter or no "," gives row or column 0.
std::optional<DecodedReading> decodeReading(const QString& messageText);

// Whether the reading addresses a well of the plate (rows A-H, columns 1-12). The instrument
// sends upper-case letters only, so "a" is off the plate too. Readings off the plate are
// dropped; they must not end the run.
bool onPlate(const DecodedReading& reading);

// The message line shown for a reading: the message up to and including the "=" after
// "Reading:", a space, then the reading less the dark offset with one decimal ("12065.0"), or
// "0" when the reading is below the dark offset. A message that is no reading comes back as
// it is.
QString readingMessageLine(const QString& messageText, const QString& value);

// The message line shown for a reading that is dropped because it is off the plate: the
// message as received, then that it was ignored ("Reading: J, 1 = 846 - ignored, not a well
// of the plate"). No dark offset is taken off a value that was not kept.
QString ignoredReadingLine(const QString& messageText);

// The text after "Firmware version", trimmed; nothing when the message does not hold it.
std::optional<QString> firmwareVersionOf(const QString& messageText);

}  // namespace vantorix
