// The dataset being measured: the wells read so far, and the choice to keep the readings of a
// dataset the run did not finish.
#include <algorithm>

#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/RunTexts.h"
#include "plate/ReadingText.h"

namespace vantorix {

using Kind = ConversationOutput::Kind;

int InstrumentConversation::unfinishedReadings() const {
    if (!datasetOpen_) return 0;
    return static_cast<int>(
        std::count_if(setValues_.begin(), setValues_.end(),
                      [](const QString& v) { return readingFromText(v).has_value(); }));
}

bool InstrumentConversation::anySelectedWellRead() const {
    bool anySelected = false;
    for (int well = 0; well < kWellCount; ++well) {
        if (!options_.SelectedWells[well / kPlateColumns][well % kPlateColumns]) continue;
        anySelected = true;
        if (readingFromText(setValues_[size_t(well)])) return true;
    }
    return !anySelected;
}

// A dataset begins with none of its wells read.
void InstrumentConversation::beginDataset() {
    datasetOpen_ = true;
    setValues_.fill(QStringLiteral("-1"));
    ConversationOutput o{Kind::DatasetBegun};
    o.set = run_.set;
    o.sets = run_.plannedSets();
    out_.push_back(std::move(o));
}

void InstrumentConversation::datasetDone() {
    datasetOpen_ = false;
    ConversationOutput o{Kind::DatasetDone};
    o.set = run_.set;
    out_.push_back(std::move(o));
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
                       .arg(run_.set) +
                   QStringLiteral(
                       " before the run stopped. Keep them as a partial dataset (wells "
                       "not read are left without a reading)?");
    if (cancelled) text = QString::fromLatin1(kCancelledText) + QStringLiteral("\n\n") + text;
    const bool keep = co_await ask(RunQuestion::KeepPartial, text, readings);
    if (keep) {
        ++completed;
        end_.partialKept = true;
    } else {
        end_.readingsLeftOut = readings;
    }
}

}  // namespace vantorix
