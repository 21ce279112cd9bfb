#include "files/OvdWriter.h"

#include <QSaveFile>

#include "files/OvdLayout.h"
#include "files/PlateFile.h"

namespace vantorix {

namespace {

WriteResult failure(const QString& error) {
    return {false, error};
}

QString describe(const QString& path, const QSaveFile& file) {
    return path + QStringLiteral(": ") + file.errorString();
}

}  // namespace

PlateDocument runDocument(const PlateDocument& d, const RunOptions& options, int firstSet,
                          int lastSet) {
    PlateDocument file = d;
    file.header.extraSensitive = options.Sensitive != 0;
    file.options = options;
    file.datasets.clear();
    for (int set = std::max(firstSet, 1); set <= std::min(lastSet, kMaxSets); ++set) {
        Dataset data = set <= d.setCount() ? d.datasets[size_t(set - 1)] : Dataset{};
        for (int w = 0; w < kWellCount; ++w)
            data.wells[w].status = wellStatus(data.wells[w].raw, file.selected(w), true);
        file.datasets.push_back(data);
    }
    return file;
}

WriteResult writePlateFile(const PlateDocument& d, const QString& path, const QDateTime& now,
                           const ProgramVersion& v) {
    if (d.datasets.size() > size_t(kMaxSets))
        return failure(QStringLiteral("a data file holds at most %1 sets").arg(kMaxSets));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failure(describe(path, file));
    const QByteArray bytes = ovdFileText(d, now, v).toUtf8();
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
