#include "results/WellStatus.h"

#include "plate/PlateDocument.h"

namespace vantorix {

std::array<WellStatus, kWellCount> setStatuses(const PlateDocument& readings, int set,
                                               const WellMatrix& selected, bool setComplete) {
    std::array<WellStatus, kWellCount> statuses{};
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c)
            statuses[r * kPlateColumns + c] =
                wellStatus(readings.reading(set, r + 1, c + 1).raw, selected[r][c], setComplete);
    return statuses;
}

WellMatrix documentSelection(const PlateDocument& document, int sets) {
    if (document.hasMask) return document.options.SelectedWells;
    WellMatrix wells{};
    for (int set = 1; set <= qMin(sets, kMaxSets); ++set)
        for (int r = 0; r < kPlateRows; ++r)
            for (int c = 0; c < kPlateColumns; ++c)
                if (document.reading(set, r + 1, c + 1).raw) wells[r][c] = true;
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
