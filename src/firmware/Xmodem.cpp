#include "firmware/Xmodem.h"

namespace vantorix::xmodem {

quint8 checksum(QByteArrayView data) {
    quint8 sum = 0;
    for (const char c : data) sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return sum;
}

QByteArray block(quint8 number, QByteArrayView data) {
    Q_ASSERT(data.size() == kData_bytes);
    QByteArray out;
    out.reserve(kBlock_bytes);
    out.append(kSoh);
    out.append(static_cast<char>(number));
    out.append(static_cast<char>(255 - number));
    out.append(data);
    out.append(static_cast<char>(checksum(data)));
    return out;
}

QByteArray end() {
    return QByteArray("\x04\x04\r\n", 4);
}

}  // namespace vantorix::xmodem
