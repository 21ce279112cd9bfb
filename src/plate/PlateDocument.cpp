#include "plate/PlateDocument.h"

#include <algorithm>

namespace vantorix {

const WellReading& PlateDocument::reading(int set, int row, int column) const {
    static const WellReading none;
    if (set < 1 || set > setCount() || row < 1 || row > kPlateRows || column < 1 ||
        column > kPlateColumns)
        return none;
    return datasets[size_t(set - 1)].at(row - 1, column - 1);
}

Dataset& PlateDocument::dataset(int set) {
    const int index = std::clamp(set, 1, kMaxSets) - 1;
    if (size_t(index) >= datasets.size()) datasets.resize(size_t(index) + 1);
    return datasets[size_t(index)];
}

}  // namespace vantorix
