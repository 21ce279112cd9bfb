// Keeping every reading of a run: the journal of accepted readings, made durable at once and
// removed only once the saved file holds them all.
#include "measurement/RunSequence.h"

namespace vantorix {

void RunSequence::journalReading(int set, int row, int column, const Reading& cell) {
    if (!journalBegun_) {
        journalBegun_ = true;
        journal_.begin(state_, wallClock_());
        journalFailed_ = !journal_.isOpen() && !journal_.error().isEmpty();
        if (journalFailed_) ui_.reportError(journalFailureText());
    }
    if (!journal_.isOpen()) return;
    if (!journal_.recordReading(set, row, column, cell)) {
        journalFailed_ = true;
        ui_.reportError(journalFailureText());
    }
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

// The journal goes once the saved file holds every reading; otherwise it stays for recovery.
void RunSequence::settleJournal(bool saved, int readingsLeftOut) {
    if (saved && readingsLeftOut == 0)
        journal_.remove();
    else
        journal_.close();
}

}  // namespace vantorix
