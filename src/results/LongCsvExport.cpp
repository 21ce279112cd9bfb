#include "results/LongCsvExport.h"

#include <QSaveFile>

#include "kernel/Text.h"
#include "plate/PlateDocument.h"
#include "plate/ReadingText.h"
#include "results/SetStatistics.h"
#include "results/WellStatus.h"

namespace vantorix {

QStringList longCsvLines(const PlateDocument& readings, int sets) {
    QStringList lines{QStringLiteral("set,well,value,time,status")};
    sets = qBound(0, sets, kMaxSets);
    const WellMatrix selected = documentSelection(readings, sets);
    for (int set = 1; set <= sets; ++set) {
        const auto statuses = setStatuses(readings, set, selected, true);
        for (int w = 0; w < kWellCount; ++w) {
            const WellStatus status = statuses[w];
            if (status == WellStatus::NotSelected) continue;
            const int r = w / kPlateColumns, c = w % kPlateColumns;
            const WellReading& reading = readings.reading(set, r + 1, c + 1);
            const QString value =
                status == WellStatus::Read ? plainReadingText(*reading.raw) : QString();
            lines << QStringLiteral("%1,%2,%3,%4,%5")
                         .arg(QString::number(set), wellName(r, c), value,
                              readingToText(reading.seconds), wellStatusKey(status));
        }
    }
    return lines;
}

QString WriteLongCsv(const PlateDocument& document, int sets, const QString& path) {
    const QByteArray bytes =
        (longCsvLines(document, sets).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
            .toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

}  // namespace vantorix
