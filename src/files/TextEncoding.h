// Text encoding of data files: written as UTF-8; a file that is not valid UTF-8 comes from an
// older installation and is read as Windows-1252 so its accents survive.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace vantorix {

// The text of a data file's bytes: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString decodeDataFileBytes(QByteArrayView bytes);

// Windows-1252 to text; the five bytes the code page leaves undefined map to U+0081 etc.
QString fromWindows1252(QByteArrayView bytes);

}  // namespace vantorix
