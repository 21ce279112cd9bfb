#include "analysis/LayoutEditing.h"

#include <cmath>

namespace vantorix {

bool WellBlock::contains(int well) const {
    const int r = well / kPlateColumns;
    const int c = well % kPlateColumns;
    return r >= top() && r <= bottom() && c >= left() && c <= right();
}

std::vector<int> WellBlock::wells() const {
    std::vector<int> out;
    for (int r = std::max(top(), 0); r <= std::min(bottom(), kPlateRows - 1); ++r)
        for (int c = std::max(left(), 0); c <= std::min(right(), kPlateColumns - 1); ++c)
            out.push_back(WellIndex(r, c));
    return out;
}

void paintBlock(WellLayout& layout, const WellBlock& block, const WellAssignment& paint) {
    for (int well : block.wells()) {
        WellAssignment& w = layout.wells[size_t(well)];
        if (paint.role == WellRole::Empty) {
            w = {};
            continue;
        }
        w.role = paint.role;
        w.name = paint.name;
        w.concentration = paint.role == WellRole::Standard ? paint.concentration : std::nullopt;
        w.dilution = paint.role == WellRole::Sample ? paint.dilution : 1;
    }
}

QString fillStandardSeries(WellLayout& layout, const WellBlock& block, const StandardSeries& s) {
    if (!(s.first > 0)) return QStringLiteral("The first concentration must be above 0.");
    if (!(s.factor > 1)) return QStringLiteral("The factor between levels must be above 1.");
    if (s.replicates < 1) return QStringLiteral("A level needs at least one well.");
    const int span = s.acrossRows ? block.columns() : block.rows();
    if (span % s.replicates != 0)
        return QStringLiteral("%1 %2 do not split into groups of %3 replicates.")
            .arg(span)
            .arg(s.acrossRows ? QStringLiteral("columns") : QStringLiteral("rows"))
            .arg(s.replicates);
    for (int well : block.wells()) {
        const int r = well / kPlateColumns - block.top();
        const int c = well % kPlateColumns - block.left();
        const int order = s.acrossRows ? r * block.columns() + c : c * block.rows() + r;
        const int level = order / s.replicates;
        const double step = std::pow(s.factor, level);
        WellAssignment& w = layout.wells[size_t(well)];
        w.role = WellRole::Standard;
        w.name = QStringLiteral("S%1").arg(level + 1);
        w.concentration = s.rising ? s.first * step : s.first / step;
        w.dilution = 1;
    }
    return {};
}

void excludeBlock(WellLayout& layout, const WellBlock& block, const QString& reason) {
    for (int well : block.wells()) {
        WellAssignment& w = layout.wells[size_t(well)];
        w.excluded = !reason.trimmed().isEmpty();
        w.exclusionReason = w.excluded ? reason.trimmed() : QString();
    }
}

}  // namespace vantorix
