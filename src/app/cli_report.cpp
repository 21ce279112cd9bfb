// vantorix-cli report: the printable report of a data file as PDF.
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliRecorder.h"
#include "plate/ProgramState.h"
#include "results/PaintReport.h"

namespace vantorix::cli {

namespace {

const char* const kReportUsage =
    "report FILE --pdf OUT  write the report of FILE (header, heat maps, values, figures) as PDF";

int reportUsageError(const QString& message) {
    printError(message);
    QTextStream(stderr) << "usage: vantorix-cli " << kReportUsage << Qt::endl;
    return kExitUsage;
}

int runReport(const QStringList& args) {
    QString file, pdf;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--pdf") {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return reportUsageError(QStringLiteral("report: --pdf needs an output file"));
            pdf = args[++i];
        } else if (args[i].startsWith(u'-') && args[i].size() > 1) {
            return reportUsageError(QStringLiteral("report: unknown option '%1'").arg(args[i]));
        } else if (!file.isEmpty()) {
            return reportUsageError(QStringLiteral("report: only one FILE may be given"));
        } else {
            file = args[i];
        }
    }
    if (file.isEmpty()) return reportUsageError(QStringLiteral("report: FILE is missing"));
    if (pdf.isEmpty()) return reportUsageError(QStringLiteral("report: give --pdf OUT"));

    ProgramState s;
    const std::optional<LoadResult> loaded = loadDocument(s, file);
    if (!loaded) return kExitFailure;
    const ReportSource source{s.document, loaded->setsLoaded, QFileInfo(file).fileName(),
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
