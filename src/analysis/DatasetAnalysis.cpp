#include "analysis/DatasetAnalysis.h"

#include <map>
#include <tuple>

#include "analysis/PlateQuality.h"
#include "analysis/Replicates.h"
#include "analysis/StandardCurve.h"

namespace vantorix {

namespace {

WellResult wellRow(int well, const WellAssignment& a, const WellReading& reading) {
    WellResult r;
    r.well = well;
    r.role = a.role;
    r.name = a.name;
    r.nominal = a.concentration;
    r.dilution = a.dilution;
    r.value = reading.value();
    if (a.excluded) r.flags << QString::fromLatin1(kFlagExcluded);
    if (reading.saturated()) r.flags << QString::fromLatin1(kFlagSaturated);
    if (!reading.hasReading()) r.flags << QString::fromLatin1(kFlagMissing);
    r.used = r.flags.isEmpty();
    return r;
}

// Blank rows are one group whatever their names: all of them are subtracted. Standards are
// replicates by concentration, the others by role and name.
using GroupKey = std::tuple<WellRole, double, QString>;
GroupKey groupKey(const WellResult& w) {
    if (w.role == WellRole::Blank) return {w.role, 0, {}};
    if (w.role == WellRole::Standard) return {w.role, *w.nominal, {}};
    return {w.role, 0, w.name};
}

void subtractBlanks(DatasetAnalysis& a) {
    std::vector<double> blanks;
    for (const WellResult& w : a.wells)
        if (w.role == WellRole::Blank && w.used) blanks.push_back(*w.value);
    a.blankMean = replicateFigures(blanks).mean;
    if (!a.blankMean)
        a.notes << QStringLiteral("no blank wells with readings: values are not blank-subtracted");
    for (WellResult& w : a.wells)
        if (w.used) w.corrected = *w.value - a.blankMean.value_or(0);
}

// A blank's corrected value is about 0 by construction, so the blanks' spread is that of their
// values; every other group's is that of its corrected values.
void groupReplicates(DatasetAnalysis& a, double cvThreshold) {
    std::map<GroupKey, std::vector<WellResult*>> groups;
    for (WellResult& w : a.wells)
        if (w.used) groups[groupKey(w)].push_back(&w);
    for (auto& [key, wells] : groups) {
        std::vector<double> values;
        for (const WellResult* w : wells)
            values.push_back(w->role == WellRole::Blank ? *w->value : *w->corrected);
        const ReplicateFigures f = replicateFigures(values);
        for (WellResult* w : wells) {
            w->mean = f.mean, w->sd = f.sd, w->cv = f.cv;
            if (f.cv && *f.cv > cvThreshold) w->flags << QString::fromLatin1(kFlagCv);
        }
    }
}

}  // namespace

DatasetAnalysis analyzeDataset(const Dataset& dataset, const WellLayout& layout,
                               const AnalysisSettings& settings, int set) {
    DatasetAnalysis a;
    a.set = set;
    for (int well = 0; well < kWellCount; ++well) {
        const WellAssignment& w = layout.wells[size_t(well)];
        if (w.role == WellRole::Empty) continue;
        a.wells.push_back(wellRow(well, w, dataset.wells[size_t(well)]));
        a.hasStandards = a.hasStandards || w.role == WellRole::Standard;
    }
    subtractBlanks(a);
    groupReplicates(a, settings.cvThreshold);
    if (a.hasStandards) fitStandardCurve(a, settings);
    measureControls(a.wells, a.quality);
    judgePlate(settings.rules, a.curve, a.quality);
    return a;
}

std::vector<DatasetAnalysis> analyzeDocument(const PlateDocument& document,
                                             const AnalysisSettings& settings) {
    std::vector<DatasetAnalysis> analyses;
    for (int set = 0; set < document.setCount(); ++set)
        analyses.push_back(
            analyzeDataset(document.datasets[size_t(set)], document.layout, settings, set + 1));
    return analyses;
}

}  // namespace vantorix
