// The line the instrument's measurement program talks on. A run always uses it, whatever
// settings are stored; it is also the stored settings' default and where a port starts.
#pragma once

#include <QString>

namespace vantorix {

inline const QString kInstrumentLineSettings = QStringLiteral("2400,n,8,1");

}  // namespace vantorix
