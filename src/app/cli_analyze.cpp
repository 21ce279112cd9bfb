// vantorix-cli analyze: a data file analysed against a layout, one summary line per set and
// optionally a CSV row per well.
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <map>

#include "analysis/AnalysisText.h"
#include "analysis/DatasetAnalysis.h"
#include "analysis/LayoutFile.h"
#include "app/CliAnalysisOptions.h"
#include "app/CliAnalysisReport.h"
#include "app/CliCommand.h"
#include "app/CliRecorder.h"
#include "app/CliSetOption.h"
#include "app/CliTextFile.h"
#include "files/PlateFile.h"
#include "history/AnalysisEvent.h"

namespace vantorix::cli {

namespace {

const char* const kAnalyzeUsage =
    "analyze FILE --layout LAYOUT [--set N] [--fit linear|loglog|4pl|5pl]\n"
    "    [--weight none|1/y|1/y2] [--csv OUT] [--pdf OUT]  analyse FILE's sets (or set N)\n"
    "    against the layout file: one line per set, with --csv one row per well, with --pdf\n"
    "    the report with the layout, curve, results and verdict of each set";

QString analyzeDetails() {
    return QStringLiteral(
        "\nThe layout is a CSV file, well,role,name,concentration,dilution, one row per well\n"
        "that is not empty (roles blank, standard, positive, negative, sample, empty), or\n"
        "plate-shaped blocks headed role, name, concentration and dilution.\n"
        "Each line: Set N: fit=MODEL a=A b=B c=C d=D g=G r2=R lloq=L uloq=U zprime=Z sb=S\n"
        "qc=PASS|FAIL (failing rules); '-' where a figure does not exist.\n"
        "--fit: the standard curve (default 4pl); --weight: weights on the squared\n"
        "residuals (default none).\n"
        "Exit 0 on success, 2 for bad usage or a bad layout, 1 when the data cannot support\n"
        "the analysis (too few standards with readings, every standard saturated).\n");
}

struct AnalyzeArgs {
    QString file, layout, csv, pdf;
    int set = 0;  // 0: every set
    AnalysisSettings settings;
};

QString parseAnalyzeArgs(const QStringList& args, AnalyzeArgs& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--set") {
            if (const QString e = readSetOption(QStringLiteral("analyze"), args, i, out.set);
                !e.isEmpty())
                return e;
        } else if (arg == u"--fit" || arg == u"--weight") {
            const QString value = args.value(++i);
            const QString e =
                arg == u"--fit"
                    ? readModelOption(QStringLiteral("analyze"), arg, value, out.settings.model)
                    : readWeightOption(QStringLiteral("analyze"), value, out.settings.weighting);
            if (!e.isEmpty()) return e;
        } else if (arg == u"--layout" || arg == u"--csv" || arg == u"--pdf") {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return QStringLiteral("analyze: %1 needs a file").arg(arg);
            (arg == u"--layout" ? out.layout : arg == u"--csv" ? out.csv : out.pdf) = args[++i];
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("analyze: unknown option '%1'").arg(arg);
        } else if (!out.file.isEmpty()) {
            return QStringLiteral("analyze: only one FILE may be given");
        } else {
            out.file = arg;
        }
    }
    if (out.file.isEmpty()) return QStringLiteral("analyze: FILE is missing");
    if (out.layout.isEmpty()) return QStringLiteral("analyze: --layout LAYOUT is missing");
    return {};
}

// The sets asked for, each analysed; none (and the reason on stderr) when the data cannot
// support the analysis.
std::optional<std::vector<DatasetAnalysis>> analyzeSets(const PlateDocument& d,
                                                        const AnalyzeArgs& a) {
    if (a.set > d.setCount()) {
        printError(QStringLiteral("%1 holds %2 sets; there is no set %3")
                       .arg(a.file)
                       .arg(d.setCount())
                       .arg(a.set));
        return std::nullopt;
    }
    std::vector<DatasetAnalysis> analyses;
    for (int set = a.set ? a.set : 1; set <= (a.set ? a.set : d.setCount()); ++set) {
        analyses.push_back(analyzeDataset(d.datasets[size_t(set - 1)], d.layout, a.settings, set));
        if (!analyses.back().problem.isEmpty()) {
            printError(QStringLiteral("set %1: %2").arg(set).arg(analyses.back().problem));
            return std::nullopt;
        }
    }
    return analyses;
}

// "1-3, 7": set numbers in ascending order as runs.
QString setRanges(const std::vector<int>& sets) {
    QStringList parts;
    for (size_t i = 0; i < sets.size();) {
        size_t j = i;
        while (j + 1 < sets.size() && sets[j + 1] == sets[j] + 1) ++j;
        parts << (j == i ? QString::number(sets[i])
                         : QStringLiteral("%1-%2").arg(sets[i]).arg(sets[j]));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

// What the user should know of the figures (no blanks to subtract, no quantifiable range),
// once per remark with the sets it concerns.
void printNotes(const std::vector<DatasetAnalysis>& analyses) {
    std::map<QString, std::vector<int>> notes;
    for (const DatasetAnalysis& a : analyses)
        for (const QString& note : a.notes) notes[note].push_back(a.set);
    for (const auto& [note, sets] : notes)
        printError(QStringLiteral("%1 %2: %3")
                       .arg(sets.size() == 1 ? QStringLiteral("set") : QStringLiteral("sets"),
                            setRanges(sets), note));
}

void recordAnalysis(const AnalyzeArgs& a, const WellLayout& layout) {
    recordHistory([&](RunHistory& h) {
        h.record(history::events::analysisDone(
            QFileInfo(a.file).absoluteFilePath(), history::fileSha256(a.layout),
            curveModelKey(a.settings.model), history::excludedWells(layout)));
    });
}

// The CSV and the PDF asked for, both or neither: the CSV waits beside its place until the PDF
// is written, and a PDF whose CSV cannot then take its place is removed again.
QString writeOutputs(const AnalyzeArgs& a, const PlateDocument& analysed,
                     const std::vector<DatasetAnalysis>& analyses) {
    PendingTextFile csv(QFileInfo(a.csv).absoluteFilePath());
    if (!a.csv.isEmpty())
        if (const QString e = csv.write(analysisCsvText(analyses)); !e.isEmpty()) return e;
    if (!a.pdf.isEmpty())
        if (const QString e = writeAnalysisReport(a.file, analysed, a.settings, a.set, a.pdf);
            !e.isEmpty())
            return e;
    const QString e = a.csv.isEmpty() ? QString() : csv.commit();
    if (!e.isEmpty() && !a.pdf.isEmpty()) QFile::remove(QFileInfo(a.pdf).absoluteFilePath());
    return e;
}

int runAnalyze(const QStringList& args) {
    AnalyzeArgs a;
    if (const QString problem = parseAnalyzeArgs(args, a); !problem.isEmpty())
        return usageError(problem, kAnalyzeUsage);
    const LayoutRead layout = readLayoutFile(a.layout);
    if (!layout.ok) {
        printError(layout.message);
        return kExitUsage;
    }
    PlateFileRead read = readPlateFile(a.file);
    if (!read.ok) {
        printError(QString(read.message).replace(u'\n', u' '));
        return kExitFailure;
    }
    for (const QString& notice : read.notices) printError(notice);
    read.document.layout = layout.layout;
    const auto analyses = analyzeSets(read.document, a);
    if (!analyses) return kExitFailure;
    if (const QString e = writeOutputs(a, read.document, *analyses); !e.isEmpty()) {
        printError(e);
        return kExitFailure;
    }
    recordAnalysis(a, read.document.layout);
    printNotes(*analyses);
    QTextStream out(stdout);
    for (const DatasetAnalysis& analysis : *analyses)
        out << analysisSummaryLine(analysis, a.settings.model) << '\n';
    return kExitOk;
}

const CliCommand analyzeCommand("analyze", kAnalyzeUsage, runAnalyze, analyzeDetails);

}  // namespace

}  // namespace vantorix::cli
