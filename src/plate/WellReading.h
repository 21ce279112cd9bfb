// One well's reading in one dataset, typed: the raw light units as the instrument sent them
// (or none), the seconds since the run's first reading (or none) and what the well is.
#pragma once

#include <optional>

#include "kernel/LightUnits.h"

namespace vantorix {

// What a well of a set is: not selected, waiting for its reading, read, saturated, or selected
// but never read. Every view, legend and export uses these five, so an unread well is never
// mistaken for a reading of zero.
enum class WellStatus { NotSelected, Pending, Read, Saturated, NoReading };

// A set still being measured (setComplete false) shows its unread selected wells as pending
// rather than as missing. A well that holds a reading is read or saturated whether or not it
// was selected.
WellStatus wellStatus(std::optional<double> raw, bool selected, bool setComplete);

struct WellReading {
    std::optional<double> raw;      // light units as received; never negative
    std::optional<double> seconds;  // since the run's first reading
    WellStatus status = WellStatus::NotSelected;

    bool hasReading() const { return raw.has_value(); }
    bool saturated() const { return raw && *raw > kSaturationLimit; }
    // The reading less the dark offset, never below 0: the value every figure uses. None for a
    // well without a reading.
    std::optional<double> value() const;
    bool operator==(const WellReading&) const = default;
};

}  // namespace vantorix
