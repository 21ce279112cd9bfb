#include "options/OptionsValidation.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace vantorix;

namespace {

OptionsFields multipleRuns() {
    RunOptions o;
    o.RepeatMode = true;
    o.Repeats = 3;
    return fieldsFromOptions(o);
}

OptionsFields singleRun() {
    return fieldsFromOptions(RunOptions{});
}

}  // namespace

TEST(OptionsValidation, FirstFailureWins) {
    using K = ValidationFailure;
    using F = OptionField;
    const struct {
        bool multiple;  // repeat mode, three runs; otherwise a single run
        ValidationFailure::Kind kind;
        OptionField field;
        std::vector<std::pair<OptionField, const char*>> edits;
    } cases[] = {
        {false, K::None, F::Presamples, {}},
        {false, K::None, F::Presamples, {{F::Pump1Volume, "150"}, {F::Pump2Volume, "100"}}},
        {false, K::PumpTotal, F::Pump1Volume, {{F::Pump1Volume, "151"}, {F::Pump2Volume, "100"}}},
        {false, K::PumpTotal, F::Pump2Volume, {{F::Pump1Volume, "100"}, {F::Pump2Volume, "151"}}},
        {false, K::PumpTotal, F::Pump1Volume, {{F::Pump1Volume, "130"}, {F::Pump2Volume, "130"}}},
        {true, K::RepeatCount, F::Repeats, {{F::Repeats, "1"}}},
        {true, K::RepeatCount, F::Repeats, {{F::Repeats, "abc"}}},
        // repeat message before field checks
        {true, K::RepeatCount, F::Repeats, {{F::Repeats, "1"}, {F::Dwell, "x"}}},
        {false, K::None, F::Presamples, {{F::Repeats, "1"}}},
        {true, K::Field, F::Repeats, {{F::Repeats, "256"}}},
        {true, K::None, F::Presamples, {{F::Repeats, "255"}}},
        {true, K::Field, F::Repeats, {{F::Repeats, "2.5"}}},
        {true, K::Field, F::Delay, {{F::Delay, "12.5"}}},
        {true, K::Field, F::Delay, {{F::Delay, "-1"}}},
        {true, K::None, F::Presamples, {{F::Delay, "999"}}},
        {true, K::Field, F::Delay, {{F::Delay, "1000"}}},
        {true, K::Field, F::Delay, {{F::Delay, "x"}}},
        {false, K::None, F::Presamples, {{F::Delay, "12.5"}}},
        {false, K::None, F::Presamples, {{F::Delay, "-1"}}},
        {false, K::None, F::Presamples, {{F::Repeats, "999"}}},
        // pump over its own limit
        {false, K::Field, F::Pump2Volume, {{F::Pump2Volume, "251"}}},
        // empty text
        {false, K::Field, F::Presamples, {{F::Presamples, ""}}},
        // trailing text
        {false, K::Field, F::Dwell, {{F::Dwell, "5s"}}},
        // check order: Dwell before Prime1
        {false, K::Field, F::Dwell, {{F::Prime1, "26"}, {F::Dwell, "501"}}},
        // check order: PostInjectDelay last
        {false, K::Field, F::Prime2, {{F::PostInjectDelay, "5001"}, {F::Prime2, "26"}}},
        {false, K::None, F::Presamples, {{F::PostInjectDelay, "5000"}}},
        // field failure before pump total
        {false,
         K::Field,
         F::Presamples,
         {{F::Pump1Volume, "200"}, {F::Pump2Volume, "200"}, {F::Presamples, "2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        OptionsFields f = c.multiple ? multipleRuns() : singleRun();
        for (const auto& [field, text] : c.edits) f.text(field) = QString::fromLatin1(text);
        const ValidationFailure r = validateOptions(f);
        EXPECT_EQ(r.kind, c.kind);
        if (c.kind != K::None) {
            EXPECT_EQ(r.field, c.field);
        }
    }
}

// The messages of the other failures are checked through the dialog (frmOptions.OkChecks...).
TEST(OptionsValidation, FieldFailureGivesItsLimits) {
    OptionsFields f = singleRun();
    f.Dwell = "501";
    const ValidationFailure r = validateOptions(f);
    EXPECT_EQ(r.limits.min, 0);
    EXPECT_EQ(r.limits.max, 500);
    EXPECT_EQ(r.message, "'Dwell' must be a whole number from 0 to 500.");
    EXPECT_EQ(fieldRangeMessage(OptionField::Repeats),
              "'Number of Runs' must be a whole number from 1 to 255.");
}
