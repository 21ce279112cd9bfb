#include "protocols/ProtocolStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "files/RegularFile.h"
#include "protocols/ProtocolText.h"

namespace vantorix {

namespace {

const QString kSuffix = QStringLiteral(".protocol");
// A protocol is a few kilobytes; anything far larger is no protocol.
constexpr qint64 kMaxProtocolBytes = 1 << 20;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString sha256Hex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString writeText(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("the folder of %1 could not be created").arg(shown(path));
    QSaveFile file(path);
    // The bytes are buffered: a full disk shows only when they are flushed, and a file cut
    // short must never be committed over a good one.
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    const QString why = file.errorString();
    if (!written) file.cancelWriting();
    if (!written || !file.commit())
        return QStringLiteral("%1 could not be written: %2")
            .arg(shown(path), written ? file.errorString() : why);
    return {};
}

}  // namespace

QString protocolsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vantorix/protocols");
}

QString protocolPath(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name + kSuffix);
}

QStringList protocolNames(const QString& folder) {
    QStringList names;
    for (const QFileInfo& f : QDir(folder).entryInfoList({u'*' + kSuffix}, QDir::Files))
        names << f.completeBaseName();
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString loadProtocolFile(const QString& path, StoredProtocol& out) {
    QByteArray bytes;
    QString reason;
    if (!readRegularFile(path, kMaxProtocolBytes, bytes, &reason))
        return QStringLiteral("%1: %2").arg(shown(path), reason);
    AssayProtocol protocol;
    if (const QString error = readProtocolText(QString::fromUtf8(bytes), protocol);
        !error.isEmpty())
        return QStringLiteral("%1 %2").arg(shown(path), error);
    out = {protocol, sha256Hex(bytes)};
    return {};
}

QString loadProtocol(const QString& folder, const QString& name, StoredProtocol& out) {
    const QString path = protocolPath(folder, name);
    if (!QFileInfo::exists(path))
        return QStringLiteral("there is no protocol '%1' (%2)").arg(name, shown(path));
    StoredProtocol read;
    if (const QString error = loadProtocolFile(path, read); !error.isEmpty()) return error;
    if (read.protocol.name != name)
        return QStringLiteral("%1 holds protocol '%2', not '%3'")
            .arg(shown(path), read.protocol.name, name);
    out = read;
    return {};
}

QString saveProtocol(const QString& folder, const AssayProtocol& protocol, bool replace,
                     QString* sha256) {
    if (const QString problem = protocolNameProblem(protocol.name); !problem.isEmpty())
        return problem;
    const QString path = protocolPath(folder, protocol.name);
    if (!replace && QFileInfo::exists(path))
        return QStringLiteral("a protocol '%1' exists already").arg(protocol.name);
    const QByteArray bytes = protocolText(protocol).toUtf8();
    if (const QString error = writeText(path, bytes); !error.isEmpty()) return error;
    if (sha256) *sha256 = sha256Hex(bytes);
    return {};
}

QString writeProtocolFile(const QString& path, const AssayProtocol& protocol) {
    return writeText(path, protocolText(protocol).toUtf8());
}

}  // namespace vantorix
