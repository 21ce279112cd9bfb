#include "analysis/AnalysisSettings.h"

#include <array>

namespace vantorix {

namespace {

constexpr std::array kModels{CurveModel::Linear, CurveModel::LogLog, CurveModel::FourPL,
                             CurveModel::FivePL};
constexpr std::array kWeightings{Weighting::None, Weighting::InverseY, Weighting::InverseY2};

}  // namespace

QString curveModelKey(CurveModel model) {
    switch (model) {
        case CurveModel::Linear:
            return QStringLiteral("linear");
        case CurveModel::LogLog:
            return QStringLiteral("loglog");
        case CurveModel::FourPL:
            return QStringLiteral("4pl");
        case CurveModel::FivePL:
            return QStringLiteral("5pl");
    }
    return {};
}

std::optional<CurveModel> curveModelFromKey(QStringView key) {
    for (CurveModel model : kModels)
        if (key.trimmed().compare(curveModelKey(model), Qt::CaseInsensitive) == 0) return model;
    return std::nullopt;
}

QString weightingKey(Weighting weighting) {
    switch (weighting) {
        case Weighting::None:
            return QStringLiteral("none");
        case Weighting::InverseY:
            return QStringLiteral("1/y");
        case Weighting::InverseY2:
            return QStringLiteral("1/y2");
    }
    return {};
}

std::optional<Weighting> weightingFromKey(QStringView key) {
    for (Weighting weighting : kWeightings)
        if (key.trimmed().compare(weightingKey(weighting), Qt::CaseInsensitive) == 0)
            return weighting;
    return std::nullopt;
}

QStringList parameterNames(CurveModel model) {
    switch (model) {
        case CurveModel::Linear:
        case CurveModel::LogLog:
            return {QStringLiteral("a"), QStringLiteral("b")};
        case CurveModel::FourPL:
            return {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                    QStringLiteral("d")};
        case CurveModel::FivePL:
            return {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                    QStringLiteral("d"), QStringLiteral("g")};
    }
    return {};
}

}  // namespace vantorix
