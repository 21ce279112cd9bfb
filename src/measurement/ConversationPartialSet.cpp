// The dataset being measured: its live view in the grid, and the choice to keep the readings
// of a dataset the run did not finish.
#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/RunTexts.h"

namespace vantorix {

using Kind = ConversationOutput::Kind;

int InstrumentConversation::unfinishedReadings() const {
    if (!datasetOpen_) return 0;
    int n = 0;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column)
            if (state_.document.reading(state_.RunSet, row, column).raw) ++n;
    return n;
}

bool InstrumentConversation::anySelectedWellRead() const {
    bool anySelected = false;
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column) {
            if (!state_.CurrentOptions.SelectedWells[row - 1][column - 1]) continue;
            anySelected = true;
            if (state_.document.reading(state_.RunSet, row, column).raw) return true;
        }
    return !anySelected;
}

void InstrumentConversation::beginDataset() {
    datasetOpen_ = true;
    showLiveSet();
}

void InstrumentConversation::datasetDone() {
    datasetOpen_ = false;
    ConversationOutput o{Kind::DatasetDone};
    o.set = state_.RunSet;
    o.value = state_.document.firmwareVersion;
    out_.push_back(std::move(o));
}

// The grid shows the readings of the dataset being measured only: its wells start pending.
void InstrumentConversation::showLiveSet() {
    put(Kind::LiveSetShown);
    const int sets = state_.LastSet - state_.FirstSet + 1;
    put(Kind::LiveSetLabel,
        sets > 1 ? QStringLiteral("Set %1 of %2").arg(state_.RunSet).arg(sets) : QString());
}

Task<> InstrumentConversation::offerPartialSet(int& completed) {
    const int readings = unfinishedReadings();
    datasetOpen_ = false;
    const bool cancelled = std::exchange(noticeDeferred_, false);
    if (readings == 0) {
        if (cancelled) put(Kind::Notice, QString::fromLatin1(kCancelledText));
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
    const bool keep = co_await ask(RunQuestion::KeepPartial, text, readings);
    if (keep) {
        ++completed;
        state_.HasData = true;
        end_.partialKept = true;
    } else {
        end_.readingsLeftOut = readings;
    }
}

}  // namespace vantorix
