// Records of a run journal that cannot be read back (a crash cut one short, a disk error
// spoiled a stretch): where they are and which readings they held, so the user learns exactly
// what a recovery leaves out.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <set>
#include <vector>

#include "options/WellSelection.h"
#include "plate/PlateDocument.h"

namespace vantorix {

class JournalDamage {
  public:
    // A line of the journal (numbered from 1, starting at byte) that was left out; atEnd for
    // the last one, cut short.
    void leftOut(const QByteArray& line, qsizetype number, qsizetype byte, bool atEnd);
    // The journal records that the run completed this dataset.
    void completed(int set) { completedSets_.insert(set); }
    bool any() const { return count_ > 0; }
    // What was left out and the readings missing because of it; "" when nothing was, given
    // what was read back: the readings of sets 1..datasets of the wells selected.
    QString note(const QString& journalName, const PlateDocument& readings,
                 const WellMatrix& selected, int datasets) const;

  private:
    std::set<std::array<int, 3>> missingWells(const PlateDocument& readings,
                                              const WellMatrix& selected, int datasets) const;

    int count_ = 0;
    bool onlyAtEnd_ = true;
    QStringList places_;                       // the first few, "line 7 (byte 412)"
    std::set<std::array<int, 3>> namedWells_;  // set, row, column a left-out record names
    std::set<int> completedSets_;
};

}  // namespace vantorix
