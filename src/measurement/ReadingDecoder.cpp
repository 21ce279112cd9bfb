#include "measurement/ReadingDecoder.h"

#include "kernel/LightUnits.h"
#include "kernel/RunOptions.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

const QString kReadingTag = QStringLiteral("Reading:");
const QString kFirmwareTag = QStringLiteral("Firmware version");

// Position of the "=" that follows "Reading:", or -1.
qsizetype equalsAfterTag(const QString& messageText) {
    const qsizetype tag = messageText.indexOf(kReadingTag);
    if (tag < 0) return -1;
    return messageText.indexOf(u'=', tag + kReadingTag.size());
}

}  // namespace

std::optional<DecodedReading> decodeReading(const QString& messageText) {
    const qsizetype tag = messageText.indexOf(kReadingTag);
    if (tag < 0) return std::nullopt;
    const QStringView t = QStringView(messageText).mid(tag + kReadingTag.size());
    const qsizetype equals = t.indexOf(u'=');
    if (equals < 0) return std::nullopt;

    DecodedReading r;
    const QStringView trimmed = t.trimmed();
    if (!trimmed.isEmpty()) r.row = trimmed[0].unicode() - u'A' + 1;
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 0) r.column = toInt16(leadingNumber(t.mid(comma + 1).trimmed().left(2)));
    r.value = t.mid(equals + 1).trimmed().toString();
    return r;
}

bool onPlate(const DecodedReading& reading) {
    return reading.row >= 1 && reading.row <= kPlateRows && reading.column >= 1 &&
           reading.column <= kPlateColumns;
}

QString readingMessageLine(const QString& messageText, const QString& value) {
    const qsizetype equals = equalsAfterTag(messageText);
    if (equals < 0) return messageText;
    const double reading = leadingNumber(value);
    const QString shown =
        reading >= kDarkOffset ? formatFixed(reading - kDarkOffset, 1, 1) : QStringLiteral("0");
    return messageText.left(equals + 1) + u' ' + shown;
}

QString ignoredReadingLine(const QString& messageText) {
    return messageText.trimmed() + QStringLiteral(" - ignored, not a well of the plate");
}

std::optional<QString> firmwareVersionOf(const QString& messageText) {
    const qsizetype at = messageText.indexOf(kFirmwareTag);
    if (at < 0) return std::nullopt;
    return messageText.mid(at + kFirmwareTag.size()).trimmed();
}

}  // namespace vantorix
