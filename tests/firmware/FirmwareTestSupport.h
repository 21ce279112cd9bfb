// Images for the firmware tests and what a receiver must end up with.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include "support/TestSupport.h"

namespace vantorix::test {

// n bytes that differ from block to block and never look like padding.
inline QByteArray imageBytes(qsizetype n, quint32 seed = 7) {
    QByteArray out(n, 0);
    quint32 x = seed;
    for (qsizetype i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = static_cast<char>((x >> 16) & 0xff);
    }
    return out;
}

// The image as XMODEM delivers it: padded with byte 26 to a whole number of 128-byte blocks.
inline QByteArray padded(QByteArray image) {
    const qsizetype rest = image.size() % 128;
    if (rest != 0) image.append(128 - rest, char(26));
    return image;
}

// Writes the image as dir/name and returns its path.
inline QString writeImage(const QTemporaryDir& dir, const QByteArray& image,
                          const QString& name = QStringLiteral("melto.exe")) {
    const QString path = dir.filePath(name);
    writeFileBytes(path, image);
    return path;
}

}  // namespace vantorix::test
