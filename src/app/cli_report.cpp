// vantorix-cli report: the printable report of a data file as PDF.
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliRecorder.h"
#include "plate/PlateDocument.h"
#include "results/PaintReport.h"

namespace vantorix::cli {

namespace {

const char* const kReportUsage =
    "report FILE --pdf OUT  write the report of FILE (header, heat maps, values, figures) as PDF";

int runReport(const QStringList& args) {
    QString file, pdf;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--pdf") {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return usageError(QStringLiteral("report: --pdf needs an output file"),
                                  kReportUsage);
            pdf = args[++i];
        } else if (args[i].startsWith(u'-') && args[i].size() > 1) {
            return usageError(QStringLiteral("report: unknown option '%1'").arg(args[i]),
                              kReportUsage);
        } else if (!file.isEmpty()) {
            return usageError(QStringLiteral("report: only one FILE may be given"), kReportUsage);
        } else {
            file = args[i];
        }
    }
    if (file.isEmpty()) return usageError(QStringLiteral("report: FILE is missing"), kReportUsage);
    if (pdf.isEmpty()) return usageError(QStringLiteral("report: give --pdf OUT"), kReportUsage);

    PlateDocument d;
    const std::optional<LoadResult> loaded = loadDocument(d, file);
    if (!loaded) return kExitFailure;
    const ReportSource source{d, loaded->setsLoaded, QFileInfo(file).fileName(),
                              QDateTime::currentDateTime()};
    const QString error = WriteReport(source, QFileInfo(pdf).absoluteFilePath());
    if (!error.isEmpty()) printError(error);
    if (error.isEmpty())
        recordHistory([&](RunHistory& h) {
            h.record(history::events::reportWritten(QFileInfo(file).absoluteFilePath(),
                                                    QStringLiteral("pdf"),
                                                    QFileInfo(pdf).absoluteFilePath()));
        });
    return error.isEmpty() ? kExitOk : kExitFailure;
}

const CliCommand reportCommand("report", kReportUsage, runReport);

}  // namespace

}  // namespace vantorix::cli
