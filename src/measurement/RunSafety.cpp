// Keeping every reading of a run: the journal of accepted readings, the live dataset's view
// in the grid, and the choice to keep the readings of a dataset the run did not finish.
#include "measurement/RunAwaiters.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"
#include "results/CellText.h"

namespace vantorix {

int RunSequence::unfinishedReadings() const {
    if (!datasetOpen_) return 0;
    int n = 0;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column)
            if (state_.readings.at(state_.RunSet, row, column).Value != QLatin1String("-1")) ++n;
    return n;
}

void RunSequence::journalReading(int row, int column, const Reading& cell) {
    if (!journalBegun_) {
        journalBegun_ = true;
        journal_.begin(state_, wallClock_());
        journalFailed_ = !journal_.isOpen() && !journal_.error().isEmpty();
        if (journalFailed_) ui_.reportError(journalFailureText());
    }
    if (!journal_.isOpen()) return;
    if (!journal_.recordReading(state_.RunSet, row, column, cell)) {
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

void RunSequence::beginDataset() {
    datasetOpen_ = true;
    showLiveSet();
}

void RunSequence::datasetCompleted() {
    datasetOpen_ = false;
    if (journal_.isOpen() && !journal_.recordDataset(state_.RunSet, state_.FirmwareVersion)) {
        journalFailed_ = true;
        ui_.reportError(journalFailureText());
    }
}

// The grid shows the readings of the dataset being measured only: its wells start pending.
void RunSequence::showLiveSet() {
    const RunOptions& o = state_.CurrentOptions;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column)
            ui_.setCell(row, column,
                        o.SelectedWells[row - 1][column - 1]
                            ? QString::fromLatin1(kPendingCellText)
                            : runCellText(QStringLiteral("-1"), false));
    const int sets = state_.LastSet - state_.FirstSet + 1;
    ui_.setLiveSetLabel(sets > 1 ? QStringLiteral("Set %1 of %2").arg(state_.RunSet).arg(sets)
                                 : QString());
}

Task<> RunSequence::offerPartialSet(int& completed) {
    const int readings = unfinishedReadings();
    datasetOpen_ = false;
    const bool cancelled = std::exchange(noticeDeferred_, false);
    if (readings == 0) {
        if (cancelled) ui_.notify(QString::fromLatin1(kCancelledText));
        co_return;
    }
    QString text = (readings == 1 ? QStringLiteral("%1 reading of dataset %2 was taken")
                                  : QStringLiteral("%1 readings of dataset %2 were taken"))
                       .arg(readings)
                       .arg(state_.RunSet) +
                   QStringLiteral(
                       " before the run stopped. Keep them as a partial dataset (wells "
                       "not read are left without a reading)?");
    if (cancelled) text = QString::fromLatin1(kCancelledText) + QStringLiteral("\n\n") + text;
    const bool keep = co_await askKeepPartial(text, readings);
    if (keep) {
        ++completed;
        state_.HasData = true;
    } else {
        readingsLeftOut_ = readings;
    }
}

RunSequence::Answer<bool> RunSequence::askKeepPartial(const QString& text, int readings) {
    return Answer<bool>{this, [this, text, readings](std::function<void(bool)> done) {
                            ui_.askKeepPartial(text, readings, std::move(done));
                        }};
}

// The journal goes once the saved file holds every reading; otherwise it stays for recovery.
void RunSequence::settleJournal(bool saved) {
    if (saved && readingsLeftOut_ == 0)
        journal_.remove();
    else
        journal_.close();
}

}  // namespace vantorix
