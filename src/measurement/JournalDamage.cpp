#include "measurement/JournalDamage.h"

#include <QStringList>

namespace vantorix {

namespace {

constexpr int kPlacesShown = 5;
constexpr int kWellsShown = 24;

// The well a damaged reading record names, when its start is still legible.
bool namedWell(const QByteArray& line, std::array<int, 3>& well) {
    const QList<QByteArray> f = line.left(40).split(' ');
    if (f.size() < 5 || f[0] != "reading") return false;
    bool ok[3] = {};
    well = {f[1].toInt(&ok[0]), f[2].toInt(&ok[1]), f[3].toInt(&ok[2])};
    return ok[0] && ok[1] && ok[2] && well[0] >= 1 && well[0] <= kMaxSets && well[1] >= 1 &&
           well[1] <= kPlateRows && well[2] >= 1 && well[2] <= kPlateColumns;
}

bool hasReading(const PlateDocument& readings, int datasets, const std::array<int, 3>& w) {
    return w[0] <= datasets && readings.reading(w[0], w[1], w[2]).raw.has_value();
}

// "set 1 A2, A3; set 2 B1", the first few wells.
QString wellList(const std::set<std::array<int, 3>>& wells) {
    QStringList sets;
    int set = 0, shown = 0;
    QString current;
    for (const auto& w : wells) {
        if (shown++ == kWellsShown) break;
        if (w[0] != set) {
            if (!current.isEmpty()) sets << current;
            set = w[0];
            current = QStringLiteral("set %1 ").arg(set);
        } else {
            current += QStringLiteral(", ");
        }
        current += QChar(u'A' + w[1] - 1) + QString::number(w[2]);
    }
    if (!current.isEmpty()) sets << current;
    QString text = sets.join(QStringLiteral("; "));
    if (int(wells.size()) > kWellsShown)
        text += QStringLiteral(" and %1 more").arg(int(wells.size()) - kWellsShown);
    return text;
}

}  // namespace

void JournalDamage::leftOut(const QByteArray& line, qsizetype number, qsizetype byte, bool atEnd) {
    ++count_;
    onlyAtEnd_ = onlyAtEnd_ && atEnd;
    if (places_.size() < kPlacesShown)
        places_ << QStringLiteral("line %1 at byte %2").arg(number).arg(byte);
    std::array<int, 3> well{};
    if (namedWell(line, well)) namedWells_.insert(well);
}

// Wells a left-out record names, and selected wells of a completed dataset without a reading:
// a completed dataset had them all.
std::set<std::array<int, 3>> JournalDamage::missingWells(const PlateDocument& readings,
                                                         const WellMatrix& selected,
                                                         int datasets) const {
    std::set<std::array<int, 3>> missing;
    for (const auto& w : namedWells_)
        if (!hasReading(readings, datasets, w)) missing.insert(w);
    for (int set : completedSets_) {
        if (set < 1 || set > kMaxSets) continue;
        for (int row = 1; row <= kPlateRows; ++row)
            for (int column = 1; column <= kPlateColumns; ++column)
                if (selected[row - 1][column - 1] &&
                    !hasReading(readings, datasets, {set, row, column}))
                    missing.insert({set, row, column});
    }
    return missing;
}

QString JournalDamage::note(const QString& journalName, const PlateDocument& readings,
                            const WellMatrix& selected, int datasets) const {
    if (count_ == 0) return {};
    QString text;
    if (count_ == 1 && onlyAtEnd_)
        text = QStringLiteral("The last record of %1 (%2) was damaged or cut short and left out")
                   .arg(journalName, places_[0]);
    else
        text = QStringLiteral("%1 damaged record%2 of %3 %4 left out: %5%6")
                   .arg(count_)
                   .arg(count_ == 1 ? QString() : QStringLiteral("s"), journalName,
                        count_ == 1 ? QStringLiteral("was") : QStringLiteral("were"),
                        places_.join(QStringLiteral(", ")),
                        count_ > kPlacesShown
                            ? QStringLiteral(" and %1 more").arg(count_ - kPlacesShown)
                            : QString());
    const auto missing = missingWells(readings, selected, datasets);
    if (missing.empty())
        return text + QStringLiteral("; which readings %1 held is not known")
                          .arg(count_ == 1 ? QStringLiteral("it") : QStringLiteral("they"));
    return text + QStringLiteral("; %1 missing: %2")
                      .arg(missing.size() == 1
                               ? QStringLiteral("1 reading is")
                               : QStringLiteral("%1 readings are").arg(int(missing.size())),
                           wellList(missing));
}

}  // namespace vantorix
