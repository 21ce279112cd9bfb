// The text form of an assay protocol, for the protocol folder and for a lab's version control:
// one "key = value" a line in a fixed order, the wells and the layout as plate-shaped maps, and
// a line per well detail. Reading checks every value by the options dialog's rules and names
// the line of the first problem. Writing what was read gives the same text, byte for byte.
#pragma once

#include <QString>

#include "protocols/AssayProtocol.h"

namespace vantorix {

// The file's first line that is not a comment: the format it is written in.
inline const QString kProtocolFormatLine = QStringLiteral("vantorix-protocol = 1");

QString protocolText(const AssayProtocol& protocol);

// Reads `text` into `protocol`. Empty when good, else the first problem, as
// "line 12: 'Dwell' must be a whole number from 0 to 500."; `protocol` is then unchanged.
QString readProtocolText(const QString& text, AssayProtocol& protocol);

}  // namespace vantorix
