// What each well of the plate holds for an analysis: its role, the name that groups replicates,
// a standard's concentration, a sample's dilution, and whether the user left it out (and why).
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "kernel/RunOptions.h"

namespace vantorix {

enum class WellRole { Empty, Blank, Standard, Positive, Negative, Sample };

struct WellAssignment {
    WellRole role = WellRole::Empty;
    QString name;                         // groups replicates; may be empty for blanks, controls
    std::optional<double> concentration;  // standards only, positive
    double dilution = 1;                  // positive
    bool excluded = false;                // left out of every calculation by the user
    QString exclusionReason;
    bool operator==(const WellAssignment&) const = default;
};

struct WellLayout {
    std::array<WellAssignment, kWellCount> wells{};  // in well-number order, A1 .. H12
    QString concentrationUnit;                       // the standards' ("ng/mL"); "" when not said
    bool isEmpty() const;
    bool operator==(const WellLayout&) const = default;
};

// "empty", "blank", "standard", "positive", "negative", "sample": the layout file's words.
QString roleKey(WellRole role);
// The role a layout file's word names (case and surrounding blanks ignored); none otherwise.
std::optional<WellRole> roleFromKey(QStringView key);

}  // namespace vantorix
