// Keeping every reading of a run: the journal of accepted readings, made durable at once and
// removed only once the saved file holds them all.
#include "measurement/RunSequence.h"

namespace vantorix {

// The journal is made when the first dataset begins, so a run that cannot keep one says so
// before its first reading.
void RunSequence::beginJournal() {
    if (journalBegun_) return;
    journalBegun_ = true;
    JournalHeader header;
    header.options = session_.runOptions();
    header.sets = run_.plannedSets();
    const PlateHeader& texts = session_.document().header;
    header.operatorName = texts.operatorName;
    header.test = texts.test;
    header.plateNo = texts.plateNo;
    header.notes = texts.notes;
    header.file = session_.path();
    header.firmwareVersion = session_.document().firmwareVersion;
    journal_.begin(header, wallClock_());
    journalFailed_ = !journal_.isOpen() && !journal_.error().isEmpty();
    if (journalFailed_)
        ui_.reportError(
            QStringLiteral("The run journal could not be created (%1); the run goes on, but "
                           "its readings are kept in memory only until the file is saved.")
                .arg(journal_.error()));
}

// A run that ended before its first reading leaves no journal behind.
void RunSequence::dropEmptyJournal() {
    if (journalBegun_ && journalReadings_ == 0) journal_.remove();
}

void RunSequence::journalReading(int set, int row, int column, const QString& value,
                                 const QString& time) {
    ++runReadings_;
    lastReadingSet_ = std::max(lastReadingSet_, set);
    beginJournal();
    if (!journal_.isOpen()) return;
    if (!journal_.recordReading(set, row, column, value, time)) {
        journalFailed_ = true;
        ui_.reportError(journalFailureText());
        return;
    }
    ++journalReadings_;
}

QString RunSequence::journalFailureText() const {
    return QStringLiteral(
               "The run journal could not be written (%1); the run goes on, but its "
               "readings are kept in memory only until the file is saved.")
        .arg(journal_.error());
}

void RunSequence::journalDataset(int set, const QString& firmwareVersion) {
    if (journal_.isOpen() && !journal_.recordDataset(set, firmwareVersion)) {
        journalFailed_ = true;
        ui_.reportError(journalFailureText());
    }
}

bool RunSequence::journalHoldsEveryReading() const {
    return !journalFailed_ && !journal_.path().isEmpty() && journalReadings_ == runReadings_;
}

// The journal goes once the saved file holds every reading; otherwise it stays for recovery.
void RunSequence::settleJournal(bool saved, int readingsLeftOut) {
    readingsLeftOut_ = readingsLeftOut;
    if (saved && readingsLeftOut == 0)
        journal_.remove();
    else
        journal_.close();
}

}  // namespace vantorix
