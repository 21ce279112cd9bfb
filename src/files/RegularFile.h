// Opening a file the user named, but only when it is a regular file (after following links):
// a FIFO would block the program until something writes into it, and a device or a folder
// is never a document or an image.
#pragma once

#include <QFile>
#include <QString>

namespace vantorix {

// Opens path for reading into `file` (extra flags such as Unbuffered are added). False, with
// the reason in the user's words, when it cannot be opened or is not a regular file. Never
// blocks on a FIFO.
bool openRegularFile(QFile& file, const QString& path, QString* reason,
                     QIODevice::OpenMode extra = QIODevice::NotOpen);

// Reads the whole regular file at path into `bytes`, refusing one larger than maxBytes (also
// when it grows while being read), so no file can exhaust memory. False with the reason in the
// user's words otherwise.
bool readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason);

}  // namespace vantorix
