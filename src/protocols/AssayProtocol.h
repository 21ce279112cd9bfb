// A named assay protocol: everything needed to run and analyse the same assay the same way each
// time. The run options with their wells, what the wells hold, and the analysis settings.
#pragma once

#include <QString>

#include "analysis/AnalysisSettings.h"
#include "kernel/RunOptions.h"
#include "plate/WellLayout.h"

namespace vantorix {

struct AssayProtocol {
    QString name;
    RunOptions options;
    WellLayout layout;
    AnalysisSettings analysis;
    bool operator==(const AssayProtocol& other) const;
};

bool operator==(const AcceptanceRules& a, const AcceptanceRules& b);
bool operator==(const AnalysisSettings& a, const AnalysisSettings& b);

// Empty when `name` can name a protocol (it becomes a file name), else why not.
QString protocolNameProblem(const QString& name);

}  // namespace vantorix
