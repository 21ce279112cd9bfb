// The bytes of an XMODEM transfer in its checksum variant, as the instrument's shell receives
// them: SOH, block number, 255 - block number, 128 data bytes, their sum modulo 256.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vantorix::xmodem {

constexpr char kSoh = 1;
constexpr char kEot = 4;
constexpr char kAck = 6;
constexpr char kNak = 21;
constexpr char kCan = 24;
constexpr int kData_bytes = 128;
constexpr int kBlock_bytes = kData_bytes + 4;

// Sum of the bytes modulo 256.
quint8 checksum(QByteArrayView data);
// One block on the wire; data must hold 128 bytes.
QByteArray block(quint8 number, QByteArrayView data);
// The end of a transfer: EOT, EOT, then CR LF so the shell shows its prompt again.
QByteArray end();

}  // namespace vantorix::xmodem
