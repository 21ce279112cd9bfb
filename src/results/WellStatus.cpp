#include "results/WellStatus.h"

#include "kernel/KeyStore.h"
#include "kernel/Readings.h"
#include "kernel/Text.h"

namespace vantorix {

std::array<WellStatus, kWellCount> setStatuses(const Readings& readings, int set,
                                               const WellMatrix& selected, bool setComplete) {
    std::array<WellStatus, kWellCount> statuses{};
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c)
            statuses[r * kPlateColumns + c] = wellStatus(
                readingValue(readings.at(set, r + 1, c + 1).Value), selected[r][c], setComplete);
    return statuses;
}

WellMatrix documentSelection(const KeyStore& store, const Readings& readings, int sets) {
    WellMatrix wells{};
    bool maskFound = false;
    for (int r = 0; r < kPlateRows; ++r) {
        const QString key =
            kRootKey + QStringLiteral(".data.mask.row-%1").arg(r, 3, 10, QChar(u'0'));
        QString row;
        if (!store.GetKeyValue(key, row)) continue;
        maskFound = true;
        for (int c = 0; c < kPlateColumns && c < row.size(); ++c) wells[r][c] = row[c] == u'1';
    }
    if (maskFound) return wells;
    for (int set = 1; set <= qMin(sets, kMaxSets); ++set)
        for (int r = 0; r < kPlateRows; ++r)
            for (int c = 0; c < kPlateColumns; ++c)
                if (readingValue(readings.at(set, r + 1, c + 1).Value) >= 0) wells[r][c] = true;
    return wells;
}

QString wellStatusName(WellStatus status) {
    switch (status) {
        case WellStatus::NotSelected:
            return QStringLiteral("not selected");
        case WellStatus::Pending:
            return QStringLiteral("pending");
        case WellStatus::Read:
            return QStringLiteral("read");
        case WellStatus::Saturated:
            return QStringLiteral("saturated");
        case WellStatus::NoReading:
            return QStringLiteral("no reading");
    }
    return {};
}

QString wellStatusKey(WellStatus status) {
    return wellStatusName(status).replace(u' ', u'-');
}

}  // namespace vantorix
