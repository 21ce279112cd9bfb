#include "app/CliTextFile.h"

namespace vantorix::cli {

QString PendingTextFile::failure() const {
    return QStringLiteral("cannot write %1: %2").arg(path_, file_.errorString());
}

QString PendingTextFile::write(const QString& text) {
    if (!file_.open(QIODevice::WriteOnly)) return failure();
    const QByteArray bytes = text.toUtf8();
    // A full disk shows when the buffer is flushed; nothing may be committed then.
    if (file_.write(bytes) != bytes.size() || !file_.flush()) {
        const QString error = failure();
        file_.cancelWriting();
        return error;
    }
    return {};
}

QString PendingTextFile::commit() {
    return file_.commit() ? QString() : failure();
}

}  // namespace vantorix::cli
