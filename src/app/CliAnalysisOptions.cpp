#include "app/CliAnalysisOptions.h"

#include <QStringList>

namespace vantorix::cli {

QString readModelOption(const QString& command, const QString& option, const QString& value,
                        CurveModel& model) {
    const auto known = curveModelFromKey(value);
    if (known) model = *known;
    return known ? QString()
                 : QStringLiteral("%1: %2 needs linear, loglog, 4pl or 5pl").arg(command, option);
}

QString readWeightOption(const QString& command, const QString& value, Weighting& weighting) {
    const auto known = weightingFromKey(value);
    if (known) weighting = *known;
    return known ? QString() : QStringLiteral("%1: --weight needs none, 1/y or 1/y2").arg(command);
}

}  // namespace vantorix::cli
