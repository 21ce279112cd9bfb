// The user's protocols: one text file each (ProtocolText.h), NAME.protocol in the protocol
// folder that the desktop program and vantorix-cli share.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "protocols/AssayProtocol.h"

namespace vantorix {

// ~/.local/share/vantorix/protocols (the platform's per-user data location).
QString protocolsFolder();
QString protocolPath(const QString& folder, const QString& name);

// The protocols' names, sorted without regard to case.
QStringList protocolNames(const QString& folder);

// A protocol as stored, and the SHA-256 of its file's bytes (lower-case hex), which a run
// records to show exactly which protocol it followed.
struct StoredProtocol {
    AssayProtocol protocol;
    QString sha256;
};

// Reads and checks protocol `name`. Empty when good, else what is wrong, naming the file.
QString loadProtocol(const QString& folder, const QString& name, StoredProtocol& out);
// Reads and checks a protocol file anywhere (an import). Empty when good.
QString loadProtocolFile(const QString& path, StoredProtocol& out);

// Writes the protocol under its name, atomically; an existing one of that name is replaced
// only when `replace` is true. Empty when written, else why not (nothing is changed then).
QString saveProtocol(const QString& folder, const AssayProtocol& protocol, bool replace,
                     QString* sha256 = nullptr);

// Writes the protocol's text to `path` (an export), atomically. Empty when written.
QString writeProtocolFile(const QString& path, const AssayProtocol& protocol);

}  // namespace vantorix
