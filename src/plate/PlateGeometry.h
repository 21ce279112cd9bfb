// The plate: 8 rows (A-H) by 12 columns, wells numbered A1 = 0, A2 = 1, ... H12 = 95.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "kernel/RunOptions.h"

namespace vantorix {

// "A1" .. "H12" for well numbers 0 .. 95; "" for anything else.
QString wellName(int well);

// The well number a name such as "A1", "h12" or " B07 " stands for; none for anything that is
// not a well of the plate ("I1", "A13", "A0", "", "A").
std::optional<int> wellFromName(QStringView name);

inline constexpr int wellRowOf(int well) {
    return well / kPlateColumns;
}
inline constexpr int wellColumnOf(int well) {
    return well % kPlateColumns;
}

}  // namespace vantorix
