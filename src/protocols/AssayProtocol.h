// A named assay protocol: everything needed to run and analyse the same assay the same way each
// time. The run options with their wells, what the wells hold, and the analysis settings.
#pragma once

#include <QString>
#include <QStringList>

#include "kernel/RunOptions.h"
#include "plate/WellLayout.h"

namespace vantorix {

// How a run's readings are analysed: the curve model, the weighting of its fit and the quality
// rules applied, each as the word the analysis knows it by ("4pl", "1/y^2", "cv-20").
struct AnalysisChoice {
    QString model = QStringLiteral("none");
    QString weighting = QStringLiteral("none");
    QStringList rules;
    bool operator==(const AnalysisChoice&) const = default;
};

struct AssayProtocol {
    QString name;
    RunOptions options;
    WellLayout layout;
    AnalysisChoice analysis;
    bool operator==(const AssayProtocol&) const = default;
};

// Empty when `name` can name a protocol (it becomes a file name), else why not.
QString protocolNameProblem(const QString& name);

}  // namespace vantorix
