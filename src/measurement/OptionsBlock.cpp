#include "measurement/OptionsBlock.h"

namespace vantorix {

QStringList flashParameterLines(const RunOptions& o) {
    if (o.Reaction != kReactionFlash) return QStringList(8, QStringLiteral("0"));
    QStringList lines;
    for (qint16 v : {o.Presamples, o.Postsamples, o.Pump1Volume, o.Pump2Volume, o.Dwell,
                     o.PostInjectDelay, o.Prime1, o.Prime2})
        lines << QString::number(v);
    return lines;
}

QStringList optionsBlockLines(const RunOptions& o) {
    QStringList lines{QStringLiteral("{")};
    for (const auto& row : o.SelectedWells)
        for (bool selected : row) lines << (selected ? QStringLiteral("1") : QStringLiteral("0"));
    lines << flashParameterLines(o);
    lines << QString::number(o.Reaction) << QString::number(o.Sensitive) << QStringLiteral("}");
    return lines;
}

}  // namespace vantorix
