// The printable report of a document: its header fields and run options, then for each set
// the heat map, the table of values and the set's figures; page numbers, the date it was made
// and the program's version on every page. With a layout, each analysed set's layout, standard
// curve, verdict and results table follow.
#pragma once

#include <QDateTime>
#include <QString>

#include "analysis/AnalysisSettings.h"
#include "plate/PlateDocument.h"

namespace vantorix {

struct PlateDocument;

struct ReportAnalysis {
    const PlateDocument& document;
    WellLayout layout;
    AnalysisSettings settings;
    QString concentrationUnit;
    int onlySet = 0;  // 0: every set
};

struct ReportSource {
    const PlateDocument& document;
    int sets = 0;
    QString documentName;  // the data file's name, shown in the title
    QDateTime generated;
    const ReportAnalysis* analysis = nullptr;  // none, or an empty layout: no analysis pages
};

// Writes the report as PDF to path, replacing it only once complete. Empty text on success,
// else why it could not be written.
QString WriteReport(const ReportSource& source, const QString& path);

}  // namespace vantorix
