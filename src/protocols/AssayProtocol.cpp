#include "protocols/AssayProtocol.h"

#include <algorithm>

namespace vantorix {

namespace {

constexpr int kMaxNameLength = 60;

bool nameCharacter(QChar c) {
    return c.isLetterOrNumber() || QStringLiteral(" -_.()+,").contains(c);
}

}  // namespace

bool operator==(const AcceptanceRules& a, const AcceptanceRules& b) {
    return a.maxBlankCv == b.maxBlankCv && a.minR2 == b.minR2 && a.minZPrime == b.minZPrime;
}

bool operator==(const AnalysisSettings& a, const AnalysisSettings& b) {
    return a.model == b.model && a.weighting == b.weighting && a.cvThreshold == b.cvThreshold &&
           a.recoveryLow == b.recoveryLow && a.recoveryHigh == b.recoveryHigh && a.rules == b.rules;
}

bool AssayProtocol::operator==(const AssayProtocol& o) const {
    return name == o.name && options == o.options && layout == o.layout && analysis == o.analysis;
}

QString protocolNameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) return QStringLiteral("a protocol needs a name");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("a protocol name has at most %1 characters").arg(kMaxNameLength);
    if (!name[0].isLetterOrNumber() || name != name.trimmed() ||
        !std::all_of(name.begin(), name.end(), nameCharacter))
        return QStringLiteral(
                   "'%1' cannot name a protocol: use letters, digits, blanks and - _ . ( ) + , "
                   "and start with a letter or digit")
            .arg(name);
    return {};
}

}  // namespace vantorix
