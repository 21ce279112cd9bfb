#include "history/AnalysisEvent.h"

#include "plate/PlateGeometry.h"

namespace vantorix::history {

std::vector<ExcludedWell> excludedWells(const WellLayout& layout) {
    std::vector<ExcludedWell> out;
    for (int w = 0; w < kWellCount; ++w)
        if (const WellAssignment& a = layout.wells[size_t(w)]; a.excluded)
            out.push_back({wellName(w), a.exclusionReason});
    return out;
}

}  // namespace vantorix::history
