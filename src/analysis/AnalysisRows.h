// The analysis as the analysis view's table and the report's pages show it: one row of texts per
// well, and the verdict with the figures and rules behind it.
#pragma once

#include <QString>
#include <QStringList>

#include "analysis/DatasetAnalysis.h"

namespace vantorix {

// Well, Role, Name, Value, Corrected, Mean, SD, CV %, Concentration, Flag.
QStringList analysisColumnTitles();
QStringList analysisRowTexts(const WellResult& well);

struct VerdictLine {
    QString caption, text;
};
// "PASS", or "FAIL (rule; rule)" naming the failed rules.
QString verdictText(const DatasetAnalysis& analysis);
// What the verdict rests on: the fit's parameters, R², the quantifiable range, the plate's
// quality figures and the rules they were held to.
std::vector<VerdictLine> verdictLines(const DatasetAnalysis& analysis,
                                      const AnalysisSettings& settings);

}  // namespace vantorix
