// Moving a run options record into the options dialog and back, in the order both callers use.
#include "options/frmOptions.h"

namespace vantorix {

namespace {

// The fields after the wells and before the reaction type, in filling order.
constexpr std::array<OptionField, 8> kLeadingFields{
    OptionField::Presamples,  OptionField::Postsamples, OptionField::PostInjectDelay,
    OptionField::Pump1Volume, OptionField::Pump2Volume, OptionField::Dwell,
    OptionField::Prime1,      OptionField::Prime2};

qint16 RunOptions::*member(OptionField f) {
    switch (f) {
        case OptionField::Presamples:
            return &RunOptions::Presamples;
        case OptionField::Postsamples:
            return &RunOptions::Postsamples;
        case OptionField::Pump1Volume:
            return &RunOptions::Pump1Volume;
        case OptionField::Pump2Volume:
            return &RunOptions::Pump2Volume;
        case OptionField::Dwell:
            return &RunOptions::Dwell;
        case OptionField::PostInjectDelay:
            return &RunOptions::PostInjectDelay;
        case OptionField::Prime1:
            return &RunOptions::Prime1;
        case OptionField::Prime2:
            return &RunOptions::Prime2;
        case OptionField::Repeats:
            return &RunOptions::Repeats;
        case OptionField::Delay:
            return &RunOptions::Delay;
    }
    return &RunOptions::Presamples;
}

}  // namespace

void fillOptionsDialog(frmOptions& dialog, const RunOptions& o) {
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c)
            dialog.setSelectedWells(r, c, o.SelectedWells[r][c]);
    for (OptionField f : kLeadingFields) dialog.setField(f, o.*member(f));
    dialog.setReaction(o.Reaction);
    dialog.setRepeatMode(o.RepeatMode);
    dialog.setRepeats(o.Repeats);
    dialog.setDelay(o.Delay);
    dialog.setSensitive(o.Sensitive);
}

void readOptionsDialog(const frmOptions& dialog, RunOptions& o) {
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c) o.SelectedWells[r][c] = dialog.SelectedWells(r, c);
    for (OptionField f : kLeadingFields) o.*member(f) = dialog.field(f);
    o.Reaction = dialog.Reaction();
    o.RepeatMode = dialog.RepeatMode();
    o.Repeats = dialog.Repeats();
    o.Delay = dialog.Delay();
    o.Sensitive = dialog.Sensitive();
}

void editOptions(frmOptions& dialog, RunOptions& record, std::function<void(bool)> done) {
    fillOptionsDialog(dialog, record);
    dialog.ShowForm([&dialog, &record, done = std::move(done)](bool confirmed) {
        if (confirmed) readOptionsDialog(dialog, record);
        if (done) done(confirmed);
    });
}

}  // namespace vantorix
