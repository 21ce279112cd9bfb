// vantorix-cli export: a data file as the spreadsheet export writes it, to an .xlsx workbook
// and/or a CSV file, without opening anything.
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/CliCommand.h"
#include "app/CliGrid.h"
#include "app/CliRecorder.h"
#include "app/CliSetOption.h"
#include "files/OvdLoader.h"
#include "plate/PlateDocument.h"
#include "results/CsvExport.h"
#include "results/ExportToExcel.h"
#include "results/LongCsvExport.h"
#include "results/PaintHeatMap.h"
#include "results/XlsxSpreadsheet.h"

namespace vantorix::cli {

namespace {

const char* const kExportUsage =
    "export FILE [--xlsx OUT] [--csv OUT] [--long-csv OUT] [--png OUT [--set N]]  write FILE as\n"
    "    the spreadsheet export does; --long-csv: one row per set and well\n"
    "    (set,well,value,time,status); --png: the heat map of set N (default 1), .svg for SVG";

struct ExportArgs {
    QString file, xlsx, csv, longCsv, png;
    int set = 1;
};

// Empty text when the arguments are good, else what is wrong with them.
QString parseExportArgs(const QStringList& args, ExportArgs& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--set") {
            if (const QString e = readSetOption(QStringLiteral("export"), args, i, out.set);
                !e.isEmpty())
                return e;
        } else if (arg == u"--xlsx" || arg == u"--csv" || arg == u"--long-csv" || arg == u"--png") {
            QString& target = arg == u"--xlsx"  ? out.xlsx
                              : arg == u"--csv" ? out.csv
                              : arg == u"--png" ? out.png
                                                : out.longCsv;
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return QStringLiteral("export: %1 needs an output file").arg(arg);
            target = args[++i];
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("export: unknown option '%1'").arg(arg);
        } else if (!out.file.isEmpty()) {
            return QStringLiteral("export: only one FILE may be given");
        } else {
            out.file = arg;
        }
    }
    if (out.file.isEmpty()) return QStringLiteral("export: FILE is missing");
    if (out.xlsx.isEmpty() && out.csv.isEmpty() && out.longCsv.isEmpty() && out.png.isEmpty())
        return QStringLiteral("export: give --xlsx OUT, --csv OUT, --long-csv OUT or --png OUT");
    return {};
}

void warnHeaderMissing(const QString& file) {
    printError(QStringLiteral("%1: %2 (not a recognised Vantorix document: the sets are written "
                              "without the header block)")
                   .arg(file, kExportHeaderErrorMessage));
}

bool writeXlsx(const PlateDocument& d, int sets, const ExportArgs& a) {
    const QString out = QFileInfo(a.xlsx).absoluteFilePath();
    const ExportOutcome outcome = ExportToExcel(d, sets, xlsxSpreadsheet(out), {});
    if (outcome.headerMissing) warnHeaderMissing(a.file);
    if (outcome.ok()) return true;
    printError(QStringLiteral("cannot write %1: %2")
                   .arg(a.xlsx, outcome.detail.isEmpty() ? QStringLiteral("unknown error")
                                                         : outcome.detail));
    return false;
}

bool writeCsv(const PlateDocument& d, int sets, const ExportArgs& a) {
    const CsvExportResult result = WriteCsvExport(d, sets, QFileInfo(a.csv).absoluteFilePath());
    if (result.headerMissing && a.xlsx.isEmpty()) warnHeaderMissing(a.file);
    if (!result.ok) printError(result.error);
    return result.ok;
}

bool writeLongCsv(const PlateDocument& d, const ExportArgs& a, int sets) {
    const QString error = WriteLongCsv(d, sets, QFileInfo(a.longCsv).absoluteFilePath());
    if (!error.isEmpty()) printError(error);
    return error.isEmpty();
}

bool writePicture(const PlateDocument& d, const ExportArgs& a, int sets) {
    if (a.set > sets) {
        printError(QStringLiteral("%1 holds %2 sets; there is no set %3")
                       .arg(a.file)
                       .arg(sets)
                       .arg(a.set));
        return false;
    }
    const HeatMapPicture picture = heatMapPicture(
        d, a.set, documentSelection(d, sets), true, HeatScale::forSets(d, 1, sets),
        QStringLiteral("%1: set %2 of %3").arg(QFileInfo(a.file).fileName()).arg(a.set).arg(sets));
    const QString error = writeHeatMapPicture(picture, QFileInfo(a.png).absoluteFilePath());
    if (!error.isEmpty()) printError(error);
    return error.isEmpty();
}

// Each export written, as an event of the exported file.
void recordExports(const ExportArgs& a) {
    const QString file = QFileInfo(a.file).absoluteFilePath();
    const std::pair<QString, const char*> outputs[] = {
        {a.xlsx, "xlsx"}, {a.csv, "csv"}, {a.longCsv, "long-csv"}, {a.png, "picture"}};
    recordHistory([&](RunHistory& h) {
        for (const auto& [out, kind] : outputs)
            if (!out.isEmpty() && QFileInfo(out).isFile())
                h.record(history::events::exportWritten(file, QLatin1String(kind),
                                                        QFileInfo(out).absoluteFilePath()));
    });
}

int runExport(const QStringList& args) {
    ExportArgs a;
    const QString problem = parseExportArgs(args, a);
    if (!problem.isEmpty()) return usageError(problem, kExportUsage);

    PlateDocument d;
    const std::optional<LoadResult> document = loadDocument(d, a.file);
    if (!document) return kExitFailure;
    const LoadResult& loaded = *document;
    bool ok = true;
    // The sets the measurement window shows after opening the file.
    const int sets = loaded.setsLoaded;
    if (!a.xlsx.isEmpty()) ok = writeXlsx(d, sets, a) && ok;
    if (!a.csv.isEmpty()) ok = writeCsv(d, sets, a) && ok;
    if (!a.longCsv.isEmpty()) ok = writeLongCsv(d, a, sets) && ok;
    if (!a.png.isEmpty()) ok = writePicture(d, a, sets) && ok;
    recordExports(a);
    return ok ? kExitOk : kExitFailure;
}

const CliCommand exportCommand("export", kExportUsage, runExport);

}  // namespace

}  // namespace vantorix::cli
