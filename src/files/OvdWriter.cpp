#include "files/OvdWriter.h"

#include <QSaveFile>

#include "files/OvdLayout.h"
#include "files/PlateFile.h"
#include "kernel/DataPaths.h"
#include "plate/ProgramState.h"

namespace vantorix {

namespace {

WriteResult failure(const QString& error) {
    return {false, error};
}

QString describe(const QString& path, const QSaveFile& file) {
    return path + QStringLiteral(": ") + file.errorString();
}

}  // namespace

PlateDocument runDocument(const ProgramState& s) {
    PlateDocument d = s.document;
    d.header.test = s.Test;
    d.header.operatorName = s.Operator;
    d.header.plateNo = s.PlateNo;
    d.header.notes = s.Notes;
    d.header.extraSensitive = s.CurrentOptions.Sensitive != 0;
    d.options = s.CurrentOptions;
    d.datasets.clear();
    for (int set = std::max<int>(s.FirstSet, 1); set <= std::min<int>(s.LastSet, kMaxSets); ++set) {
        Dataset data =
            set <= s.document.setCount() ? s.document.datasets[size_t(set - 1)] : Dataset{};
        for (int w = 0; w < kWellCount; ++w)
            data.wells[w].status = wellStatus(data.wells[w].raw, d.selected(w), true);
        d.datasets.push_back(data);
    }
    return d;
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

WriteResult WriteDataFile(const ProgramState& s, const QString& dataFolder, const QDateTime& now,
                          const ProgramVersion& v) {
    if (s.DataFileName.isEmpty()) return failure(QStringLiteral("no data file has been named"));
    if (s.FirstSet < 1 || s.LastSet > kMaxSets || s.LastSet < s.FirstSet - 1)
        return failure(QStringLiteral("sets %1 to %2 are not a run of the readings table")
                           .arg(s.FirstSet)
                           .arg(s.LastSet));
    return writePlateFile(runDocument(s), resolveDataPath(dataFolder, s.DataFileName), now, v);
}

}  // namespace vantorix
