#include "serial/LineSettings.h"

namespace vantorix {

namespace {

// Index of the caption equal to text, or -1.
template <size_t N>
int findCaption(const std::array<const char*, N>& captions, QStringView text) {
    for (size_t i = 0; i < N; ++i)
        if (text == QLatin1String(captions[i])) return static_cast<int>(i);
    return -1;
}

void selectIfFound(int& selection, int found) {
    if (found >= 0) selection = found;
}

}  // namespace

void LineSettings::parse(QStringView s) {
    const qsizetype p1 = s.indexOf(u',');
    selectIfFound(baudIndex, findCaption(kBaudCaptions, p1 < 0 ? s : s.left(p1)));
    if (p1 < 0) return;

    const QStringView afterP1 = s.mid(p1 + 1);
    if (!afterP1.isEmpty()) {
        const QChar letter = afterP1.front().toUpper();
        for (size_t i = 0; i < kParityCaptions.size(); ++i)
            if (letter == QLatin1Char(kParityCaptions[i][0])) parityIndex = static_cast<int>(i);
    }
    const qsizetype p2 = s.indexOf(u',', p1 + 1);
    if (p2 < 0) return;

    selectIfFound(wordLengthIndex, findCaption(kWordLengthCaptions, s.mid(p2 + 1, 1)));
    const qsizetype p3 = s.indexOf(u',', p2 + 1);
    if (p3 < 0) return;

    selectIfFound(stopBitsIndex, findCaption(kStopBitsCaptions, s.mid(p3 + 1)));
}

LineSettings LineSettings::fromString(QStringView s) {
    LineSettings settings;
    settings.parse(s);
    return settings;
}

QString LineSettings::compose() const {
    return QLatin1String(kBaudCaptions[baudIndex]) + u',' +
           QLatin1Char(kParityCaptions[parityIndex][0]) + u',' +
           QLatin1String(kWordLengthCaptions[wordLengthIndex]) + u',' +
           QLatin1String(kStopBitsCaptions[stopBitsIndex]);
}

qint32 LineSettings::baudRate() const {
    return QString::fromLatin1(kBaudCaptions[baudIndex]).toInt();
}

QSerialPort::Parity LineSettings::parity() const {
    static constexpr QSerialPort::Parity kParities[] = {
        QSerialPort::EvenParity, QSerialPort::OddParity, QSerialPort::MarkParity,
        QSerialPort::SpaceParity, QSerialPort::NoParity};
    return kParities[parityIndex];
}

QSerialPort::DataBits LineSettings::dataBits() const {
    static constexpr QSerialPort::DataBits kBits[] = {QSerialPort::Data5, QSerialPort::Data6,
                                                      QSerialPort::Data7, QSerialPort::Data8};
    return kBits[wordLengthIndex];
}

QSerialPort::StopBits LineSettings::stopBits() const {
    static constexpr QSerialPort::StopBits kStops[] = {
        QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
    return kStops[stopBitsIndex];
}

}  // namespace vantorix
