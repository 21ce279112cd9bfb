#include "app/CliSetOption.h"

#include "plate/PlateDocument.h"

namespace vantorix::cli {

QString readSetOption(const QString& command, const QStringList& args, qsizetype& i, int& set) {
    bool ok = false;
    set = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
    if (ok && set >= 1 && set <= kMaxSets) return {};
    return QStringLiteral("%1: --set needs a set number from 1 to %2").arg(command).arg(kMaxSets);
}

}  // namespace vantorix::cli
