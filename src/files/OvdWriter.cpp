#include "files/OvdWriter.h"

#include <QSaveFile>

#include "files/OvdLayout.h"
#include "files/PlateFile.h"
#include "kernel/DataPaths.h"
#include "kernel/ProgramState.h"

namespace vantorix {

namespace {

WriteResult failure(const QString& error) {
    return {false, error};
}

QString describe(const QString& path, const QSaveFile& file) {
    return path + QStringLiteral(": ") + file.errorString();
}

std::optional<double> readingIn(const QString& text) {
    const double v = readingValue(text);
    return v >= 0 ? std::optional<double>(v) : std::nullopt;
}

std::optional<double> secondsIn(const QString& text) {
    const double v = leadingNumber(text);
    return v >= 0 ? std::optional<double>(v) : std::nullopt;
}

}  // namespace

PlateDocument runDocument(const ProgramState& s) {
    PlateDocument d;
    d.header = {s.Test, s.Operator, s.PlateNo, s.Notes, {}, {}, s.CurrentOptions.Sensitive != 0};
    d.options = s.CurrentOptions;
    d.firmwareVersion = s.FirmwareVersion;
    for (int set = std::max<int>(s.FirstSet, 1); set <= std::min<int>(s.LastSet, kMaxSets); ++set) {
        Dataset data;
        for (int w = 0; w < kWellCount; ++w) {
            const Reading& r = s.readings.at(set, wellRowOf(w) + 1, wellColumnOf(w) + 1);
            data.wells[w] = {readingIn(r.Value), secondsIn(r.Time), WellStatus::NotSelected};
            data.wells[w].status = wellStatus(data.wells[w].raw, d.selected(w), true);
        }
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
