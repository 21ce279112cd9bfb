// vantorix-cli fit: a curve fitted to x,y pairs from a CSV file, its parameters with their
// standard errors.
#include <QTextStream>

#include "analysis/AnalysisText.h"
#include "analysis/CurveFit.h"
#include "app/CliAnalysisOptions.h"
#include "app/CliCommand.h"
#include "files/RegularFile.h"

namespace vantorix::cli {

namespace {

const char* const kFitUsage =
    "fit --model linear|loglog|4pl|5pl [--weight none|1/y|1/y2] DATA.csv  fit the model to\n"
    "    DATA's columns x,y (after a header row); print NAME = VALUE +- SE, rss and r2";

constexpr qint64 kMaxPointsFileBytes = 16 * 1024 * 1024;

struct FitArgs {
    QString file;
    bool modelGiven = false;
    AnalysisSettings settings;
};

QString parseFitArgs(const QStringList& args, FitArgs& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--model" || arg == u"--weight") {
            const QString value = args.value(++i);
            const QString e =
                arg == u"--model"
                    ? readModelOption(QStringLiteral("fit"), arg, value, out.settings.model)
                    : readWeightOption(QStringLiteral("fit"), value, out.settings.weighting);
            if (!e.isEmpty()) return e;
            out.modelGiven = out.modelGiven || arg == u"--model";
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("fit: unknown option '%1'").arg(arg);
        } else if (!out.file.isEmpty()) {
            return QStringLiteral("fit: only one DATA file may be given");
        } else {
            out.file = arg;
        }
    }
    if (!out.modelGiven) return QStringLiteral("fit: --model is missing");
    if (out.file.isEmpty()) return QStringLiteral("fit: DATA.csv is missing");
    return {};
}

// Whether the model and weights can use the point; the reason when not.
QString unusable(const AnalysisSettings& s, double x, double y) {
    if (s.model == CurveModel::LogLog && (x <= 0 || y <= 0))
        return QStringLiteral("loglog needs x and y above 0");
    if ((s.model == CurveModel::FourPL || s.model == CurveModel::FivePL) && x < 0)
        return QStringLiteral("%1 needs x of 0 or more").arg(curveModelKey(s.model));
    if (s.weighting != Weighting::None && y <= 0)
        return QStringLiteral("weights %1 need y above 0").arg(weightingKey(s.weighting));
    return {};
}

// The pairs after the header row; the line at fault otherwise.
QString readPoints(const FitArgs& a, std::vector<double>& x, std::vector<double>& y) {
    QByteArray bytes;
    QString reason;
    if (!readRegularFile(a.file, kMaxPointsFileBytes, bytes, &reason)) return reason;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const QStringList cells = line.split(u',');
        bool okX = false, okY = false;
        const double vx = cells.value(0).trimmed().toDouble(&okX);
        const double vy = cells.value(1).trimmed().toDouble(&okY);
        const QString where = QStringLiteral("%1: line %2: ").arg(a.file).arg(i + 1);
        if (cells.size() != 2 || !okX || !okY)
            return where + QStringLiteral("expected two numbers x,y, not '%1'").arg(line);
        if (const QString e = unusable(a.settings, vx, vy); !e.isEmpty()) return where + e;
        x.push_back(vx);
        y.push_back(vy);
    }
    return {};
}

int runFit(const QStringList& args) {
    FitArgs a;
    if (const QString problem = parseFitArgs(args, a); !problem.isEmpty())
        return usageError(problem, kFitUsage);
    std::vector<double> x, y;
    if (const QString e = readPoints(a, x, y); !e.isEmpty()) {
        printError(e);
        return kExitFailure;
    }
    const CurveFit fit = fitCurve(a.settings.model, a.settings.weighting, x, y);
    if (!fit.ok) {
        printError(QStringLiteral("%1: %2").arg(a.file, fit.message));
        return kExitFailure;
    }
    QTextStream out(stdout);
    const QStringList names = parameterNames(fit.model);
    for (qsizetype i = 0; i < names.size(); ++i)
        out << names[i] << " = " << plainNumber(fit.parameters[size_t(i)]) << " +- "
            << plainNumber(fit.standardErrors[size_t(i)]) << '\n';
    out << "rss = " << plainNumber(fit.rss) << '\n' << "r2 = " << plainNumber(fit.r2) << '\n';
    return kExitOk;
}

const CliCommand fitCommand("fit", kFitUsage, runFit);

}  // namespace

}  // namespace vantorix::cli
