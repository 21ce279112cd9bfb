#include "files/OvdWriter.h"

#include <QSaveFile>

#include "files/OvdLayout.h"
#include "kernel/DataPaths.h"

namespace vantorix {

namespace {

WriteResult failure(const QString& error) {
    return {false, error};
}

QString describe(const QString& path, const QSaveFile& file) {
    return path + QStringLiteral(": ") + file.errorString();
}

}  // namespace

WriteResult WriteDataFile(const ProgramState& s, const QString& dataFolder, const QDateTime& now,
                          const ProgramVersion& v) {
    if (s.DataFileName.isEmpty()) return failure(QStringLiteral("no data file has been named"));
    if (s.FirstSet < 1 || s.LastSet > kMaxSets || s.LastSet < s.FirstSet - 1)
        return failure(QStringLiteral("sets %1 to %2 are not a run of the readings table")
                           .arg(s.FirstSet)
                           .arg(s.LastSet));
    const QString path = resolveDataPath(dataFolder, s.DataFileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failure(describe(path, file));
    const QByteArray bytes = ovdFileText(s, now, v).toUtf8();
    // The bytes are buffered: a full disk shows only when they are flushed, and the temporary
    // file must never be committed over a good one then.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = describe(path, file);
        file.cancelWriting();
        return failure(error);
    }
    if (!file.commit()) return failure(describe(path, file));
    return {true, {}};
}

}  // namespace vantorix
