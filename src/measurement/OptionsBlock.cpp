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

}  // namespace vantorix
