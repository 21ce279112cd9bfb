#include "simulator/SimulatorFaults.h"

#include <functional>
#include <map>

namespace vantorix::sim {

namespace {

struct FaultKind {
    int defaultCount;
    int minCount;
    std::function<void(SimulatorFaults&, int)> set;
};

const std::map<QString, FaultKind>& kinds() {
    static const std::map<QString, FaultKind> table{
        {"no-ready", {1, 0, [](SimulatorFaults& f, int n) { f.noReady = n; }}},
        {"lower-ready", {1, 0, [](SimulatorFaults& f, int n) { f.lowerReady = n; }}},
        {"no-ack", {1, 0, [](SimulatorFaults& f, int n) { f.noAck = n; }}},
        {"silent-after", {1, 0, [](SimulatorFaults& f, int n) { f.silentAfter = n; }}},
        {"stall-block", {1, 0, [](SimulatorFaults& f, int n) { f.stallBlock = n; }}},
        {"garbage", {4, 1, [](SimulatorFaults& f, int n) { f.garbage = n; }}},
        {"split", {1, 0, [](SimulatorFaults& f, int n) { f.split = n > 0; }}},
        {"off-plate", {1, 1, [](SimulatorFaults& f, int n) { f.offPlate = n; }}},
        {"lower-case", {1, 1, [](SimulatorFaults& f, int n) { f.lowerCase = n; }}},
        {"drop-out", {1, 1, [](SimulatorFaults& f, int n) { f.dropOut = n; }}},
    };
    return table;
}

// Bounds the counts so that a typo cannot ask for billions of noise bytes.
constexpr int kMaxFaultCount = 100000;

}  // namespace

bool SimulatorFaults::add(const QString& fault, QString* error) {
    const qsizetype eq = fault.indexOf(u'=');
    const QString name = eq < 0 ? fault : fault.left(eq);
    auto it = kinds().find(name);
    if (it == kinds().end()) {
        if (error)
            *error = QStringLiteral("unknown fault '%1' (known: %2)").arg(name, names().join(", "));
        return false;
    }
    int count = it->second.defaultCount;
    if (eq >= 0) {
        bool ok = false;
        count = fault.mid(eq + 1).toInt(&ok);
        if (!ok || count < it->second.minCount || count > kMaxFaultCount) {
            if (error)
                *error = QStringLiteral("bad count in '%1': a whole number from %2 to %3")
                             .arg(fault)
                             .arg(it->second.minCount)
                             .arg(kMaxFaultCount);
            return false;
        }
    }
    it->second.set(*this, count);
    return true;
}

QStringList SimulatorFaults::names() {
    QStringList list;
    for (const auto& [name, kind] : kinds()) list << name;
    return list;
}

}  // namespace vantorix::sim
