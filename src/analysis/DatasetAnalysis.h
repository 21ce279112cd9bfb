// The analysis of one dataset against a layout: blank subtraction, replicate groups, the
// standard curve, unknowns read off it, the quantifiable range and the plate's quality
// verdict. Works on const data and returns results; it touches no file or window.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "analysis/AnalysisSettings.h"
#include "analysis/CurveFit.h"
#include "plate/PlateDocument.h"

namespace vantorix {

// Flags a well's row may carry (several are joined with "; ").
inline constexpr const char* kFlagExcluded = "excluded";
inline constexpr const char* kFlagSaturated = "saturated";
inline constexpr const char* kFlagMissing = "missing";
// A standard left out of a loglog or 1/y-weighted fit: its corrected signal is not above 0.
inline constexpr const char* kFlagNotPositive = "y<=0";
inline constexpr const char* kFlagCv = "cv";
inline constexpr const char* kFlagBelowLloq = "<LLOQ";
inline constexpr const char* kFlagAboveUloq = ">ULOQ";
inline constexpr const char* kFlagOutOfCurve = "out of curve";

struct WellResult {
    int well = 0;  // 0 .. 95, A1 .. H12
    WellRole role = WellRole::Empty;
    QString name;
    std::optional<double> nominal;    // a standard's concentration from the layout
    double dilution = 1;              // a sample's dilution from the layout
    std::optional<double> value;      // reading less the dark offset; none if missing
    bool used = false;                // entered the calculations (not excluded/saturated/missing)
    std::optional<double> corrected;  // value less the blank mean (or the value: no blanks)
    // The replicate group's figures, the same on each of its wells (of used wells only); for
    // blanks those of their values, whose corrected values are about 0 by construction.
    std::optional<double> mean, sd, cv;
    // Samples: inverse of the curve times the dilution. Standards: back-calculated.
    std::optional<double> concentration;
    std::optional<double> recovery;  // standards: 100 * back-calculated / nominal
    QStringList flags;
};

struct PlateQuality {
    std::optional<double> blankCv;
    std::optional<double> zPrime;              // on values before blank subtraction
    std::optional<double> signalToBackground;  // mean positive / mean negative
    bool pass = true;
    QStringList failedRules;  // e.g. "blank CV <= 20%", "R2 >= 0.98", "Z' >= 0.5"
};

struct DatasetAnalysis {
    int set = 1;                      // 1-based
    std::vector<WellResult> wells;    // every well the layout does not leave empty, in order
    std::optional<double> blankMean;  // none: no usable blank, nothing was subtracted
    QStringList notes;                // e.g. that nothing was blank-subtracted
    bool hasStandards = false;        // the layout names standards
    std::optional<CurveFit> curve;    // when the standards could be fitted; see curve->ok
    // The data cannot support the request (too few standards with readings for the model,
    // every standard saturated, a fit that does not converge): the message names the
    // problem; empty otherwise.
    QString problem;
    std::optional<double> lloq, uloq;  // quantifiable range, in the standards' units
    PlateQuality quality;
};

DatasetAnalysis analyzeDataset(const Dataset& dataset, const WellLayout& layout,
                               const AnalysisSettings& settings, int set);
// Every dataset of the document against the document's layout.
std::vector<DatasetAnalysis> analyzeDocument(const PlateDocument& document,
                                             const AnalysisSettings& settings);

}  // namespace vantorix
