// The analysis as text: the one-line summary of a dataset and the per-well CSV.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/DatasetAnalysis.h"

namespace vantorix {

// Plain decimal with up to 6 significant digits (0.000123457, 1234570, 12.5); "-" for none.
QString plainNumber(std::optional<double> value);
// A CSV cell, quoted where a spreadsheet would split or trim it; line breaks become spaces.
QString csvCell(const QString& text);

// "Set N: fit=MODEL a=A b=B c=C d=D g=G r2=R lloq=L uloq=U zprime=Z sb=S qc=PASS|FAIL[ (rule;
// rule)]", "-" for figures that do not exist.
QString analysisSummaryLine(const DatasetAnalysis& analysis, CurveModel model);

inline constexpr const char* kAnalysisCsvHeader =
    "set,well,role,name,value,corrected,mean,sd,cv,concentration,recovery,flag";
// The header and one row per well of each analysis, "\n" line ends.
QString analysisCsvText(const std::vector<DatasetAnalysis>& analyses);

}  // namespace vantorix
