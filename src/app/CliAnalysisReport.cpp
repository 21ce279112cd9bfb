#include "app/CliAnalysisReport.h"

#include <QFileInfo>

#include "app/CliGrid.h"
#include "plate/PlateDocument.h"
#include "results/PaintReport.h"

namespace vantorix::cli {

QString writeAnalysisReport(const QString& file, const PlateDocument& analysed,
                            const AnalysisSettings& settings, int onlySet, const QString& pdf) {
    // The report's header and set pages come from the file as the desktop program holds it.
    PlateDocument d;
    const std::optional<LoadResult> loaded = loadDocument(d, file);
    if (!loaded) return QStringLiteral("cannot read %1 for the report").arg(file);
    const ReportAnalysis analysis{analysed, analysed.layout, settings,
                                  analysed.layout.concentrationUnit, onlySet};
    ReportSource source{d, loaded->setsLoaded, QFileInfo(file).fileName(),
                        QDateTime::currentDateTime()};
    source.analysis = &analysis;
    return WriteReport(source, QFileInfo(pdf).absoluteFilePath());
}

}  // namespace vantorix::cli
