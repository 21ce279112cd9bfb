#include "results/RunProgress.h"

#include <algorithm>

namespace vantorix {

namespace {

// Of each set, the options download counts for this share of the bar, the wells the rest.
constexpr double kOptionsShare = 0.3;

double setFraction(const RunProgressInput& in) {
    const double wells = in.wellsSelected > 0 ? double(in.wellsRead) / in.wellsSelected : 0;
    switch (in.phase) {
        case RunPhase::Idle:
        case RunPhase::Handshake:
            return 0;
        case RunPhase::Options:
            return kOptionsShare * std::min(1.0, double(in.phaseElapsed_ms) / optionsDownload_ms());
        case RunPhase::Waiting:
        case RunPhase::Receiving:
            return kOptionsShare + (1 - kOptionsShare) * std::min(wells, 1.0);
        case RunPhase::Delay:
            return 1;
    }
    return 0;
}

QString phaseText(RunPhase phase) {
    switch (phase) {
        case RunPhase::Idle:
            return QStringLiteral("Idle");
        case RunPhase::Handshake:
            return QStringLiteral("Contacting the instrument");
        case RunPhase::Options:
            return QStringLiteral("Sending the run options");
        case RunPhase::Waiting:
            return QStringLiteral("Reading wells");
        case RunPhase::Receiving:
            return QStringLiteral("Receiving the dataset");
        case RunPhase::Delay:
            return QStringLiteral("Pause between sets");
    }
    return {};
}

}  // namespace

QString durationText(qint64 ms) {
    const qint64 s = std::max<qint64>(ms, 0) / 1000;
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg(s / 60 % 60, 2, 10, QChar(u'0'))
            .arg(s % 60, 2, 10, QChar(u'0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

RunProgressView runProgressView(const RunProgressInput& in) {
    RunProgressView v;
    v.phase = phaseText(in.phase);
    if (in.phase == RunPhase::Idle) return v;
    const int sets = std::max(in.sets, 1);
    const int set = std::clamp(in.set, 1, sets);
    v.set = QStringLiteral("Set %1 of %2").arg(set).arg(sets);
    v.wells = QStringLiteral("%1 of %2 wells read").arg(in.wellsRead).arg(in.wellsSelected);
    v.elapsed = durationText(in.elapsed_ms) + QStringLiteral(" elapsed");
    const double done = std::clamp((set - 1 + setFraction(in)) / sets, 0.0, 1.0);
    v.permille = int(done * 1000);
    // The rate measured so far, once there is enough of it to go by.
    if (done >= 0.02 && in.elapsed_ms >= 5000)
        v.left = QStringLiteral("about ") +
                 durationText(qint64(in.elapsed_ms * (1 - done) / done)) + QStringLiteral(" left");
    else
        v.left = QStringLiteral("estimating time left");
    return v;
}

}  // namespace vantorix
