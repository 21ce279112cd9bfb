#include "plate/WellLayout.h"

#include <algorithm>

namespace vantorix {

namespace {

constexpr std::array kRoles{WellRole::Empty,    WellRole::Blank,    WellRole::Standard,
                            WellRole::Positive, WellRole::Negative, WellRole::Sample};

}  // namespace

bool WellLayout::isEmpty() const {
    return std::all_of(wells.begin(), wells.end(),
                       [](const WellAssignment& w) { return w.role == WellRole::Empty; });
}

QString roleKey(WellRole role) {
    switch (role) {
        case WellRole::Empty:
            return QStringLiteral("empty");
        case WellRole::Blank:
            return QStringLiteral("blank");
        case WellRole::Standard:
            return QStringLiteral("standard");
        case WellRole::Positive:
            return QStringLiteral("positive");
        case WellRole::Negative:
            return QStringLiteral("negative");
        case WellRole::Sample:
            return QStringLiteral("sample");
    }
    return {};
}

std::optional<WellRole> roleFromKey(QStringView key) {
    const QStringView t = key.trimmed();
    for (WellRole role : kRoles)
        if (t.compare(roleKey(role), Qt::CaseInsensitive) == 0) return role;
    return std::nullopt;
}

}  // namespace vantorix
