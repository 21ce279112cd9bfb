#include "results/LongCsvExport.h"

#include <QSaveFile>

#include "kernel/KeyStore.h"
#include "kernel/Readings.h"
#include "kernel/Text.h"
#include "results/SetStatistics.h"
#include "results/WellStatus.h"

namespace vantorix {

namespace {
// A stored time is one token of the file; quote it should it hold a separator.
QString timeField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"')) return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}
}  // namespace

QStringList longCsvLines(const KeyStore& store, const Readings& readings, int sets) {
    QStringList lines{QStringLiteral("set,well,value,time,status")};
    sets = qBound(0, sets, kMaxSets);
    const WellMatrix selected = documentSelection(store, readings, sets);
    for (int set = 1; set <= sets; ++set) {
        const auto statuses = setStatuses(readings, set, selected, true);
        for (int w = 0; w < kWellCount; ++w) {
            const WellStatus status = statuses[w];
            if (status == WellStatus::NotSelected) continue;
            const int r = w / kPlateColumns, c = w % kPlateColumns;
            const Reading& reading = readings.at(set, r + 1, c + 1);
            const QString value = status == WellStatus::Read
                                      ? plainReadingText(readingValue(reading.Value))
                                      : QString();
            lines << QStringLiteral("%1,%2,%3,%4,%5")
                         .arg(QString::number(set), wellName(r, c), value, timeField(reading.Time),
                              wellStatusKey(status));
        }
    }
    return lines;
}

QString WriteLongCsv(const KeyStore& store, const Readings& readings, int sets,
                     const QString& path) {
    const QByteArray bytes =
        (longCsvLines(store, readings, sets).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
            .toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

}  // namespace vantorix
