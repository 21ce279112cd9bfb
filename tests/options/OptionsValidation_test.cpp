#include "options/OptionsValidation.h"

#include <gtest/gtest.h>

#include <functional>

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
        const char* name;
        OptionsFields (*start)();
        std::function<void(OptionsFields&)> edit;
        ValidationFailure::Kind kind;
        OptionField field;
    } cases[] = {
        {"defaults", singleRun, [](OptionsFields&) {}, K::None, F::Presamples},
        {"pumps 150+100", singleRun,
         [](OptionsFields& f) {
             f.Pump1Volume = "150";
             f.Pump2Volume = "100";
         },
         K::None, F::Presamples},
        {"pumps 151+100", singleRun,
         [](OptionsFields& f) {
             f.Pump1Volume = "151";
             f.Pump2Volume = "100";
         },
         K::PumpTotal, F::Pump1Volume},
        {"pumps 100+151", singleRun,
         [](OptionsFields& f) {
             f.Pump1Volume = "100";
             f.Pump2Volume = "151";
         },
         K::PumpTotal, F::Pump2Volume},
        {"pumps 130+130", singleRun,
         [](OptionsFields& f) {
             f.Pump1Volume = "130";
             f.Pump2Volume = "130";
         },
         K::PumpTotal, F::Pump1Volume},
        {"multiple, repeats 1", multipleRuns, [](OptionsFields& f) { f.Repeats = "1"; },
         K::RepeatCount, F::Repeats},
        {"multiple, repeats abc", multipleRuns, [](OptionsFields& f) { f.Repeats = "abc"; },
         K::RepeatCount, F::Repeats},
        {"repeat message before field checks", multipleRuns,
         [](OptionsFields& f) {
             f.Repeats = "1";
             f.Dwell = "x";
         },
         K::RepeatCount, F::Repeats},
        {"single, repeats 1", singleRun, [](OptionsFields& f) { f.Repeats = "1"; }, K::None,
         F::Presamples},
        {"multiple, repeats 256", multipleRuns, [](OptionsFields& f) { f.Repeats = "256"; },
         K::Field, F::Repeats},
        {"multiple, repeats 255", multipleRuns, [](OptionsFields& f) { f.Repeats = "255"; },
         K::None, F::Presamples},
        {"multiple, repeats 2.5", multipleRuns, [](OptionsFields& f) { f.Repeats = "2.5"; },
         K::Field, F::Repeats},
        {"multiple, delay 12.5", multipleRuns, [](OptionsFields& f) { f.Delay = "12.5"; }, K::Field,
         F::Delay},
        {"multiple, delay -1", multipleRuns, [](OptionsFields& f) { f.Delay = "-1"; }, K::Field,
         F::Delay},
        {"multiple, delay 999", multipleRuns, [](OptionsFields& f) { f.Delay = "999"; }, K::None,
         F::Presamples},
        {"single, delay 12.5", singleRun, [](OptionsFields& f) { f.Delay = "12.5"; }, K::None,
         F::Presamples},
        {"single, delay -1", singleRun, [](OptionsFields& f) { f.Delay = "-1"; }, K::None,
         F::Presamples},
        {"single, repeats 999", singleRun, [](OptionsFields& f) { f.Repeats = "999"; }, K::None,
         F::Presamples},
        {"pump over its own limit", singleRun, [](OptionsFields& f) { f.Pump2Volume = "251"; },
         K::Field, F::Pump2Volume},
        {"empty text", singleRun, [](OptionsFields& f) { f.Presamples = ""; }, K::Field,
         F::Presamples},
        {"trailing text", singleRun, [](OptionsFields& f) { f.Dwell = "5s"; }, K::Field, F::Dwell},
        {"check order: Dwell before Prime1", singleRun,
         [](OptionsFields& f) {
             f.Prime1 = "26";
             f.Dwell = "501";
         },
         K::Field, F::Dwell},
        {"check order: PostInjectDelay last", singleRun,
         [](OptionsFields& f) {
             f.PostInjectDelay = "5001";
             f.Prime2 = "26";
         },
         K::Field, F::Prime2},
        {"PostInjectDelay 5000", singleRun, [](OptionsFields& f) { f.PostInjectDelay = "5000"; },
         K::None, F::Presamples},
        {"field failure before pump total", singleRun,
         [](OptionsFields& f) {
             f.Pump1Volume = "200";
             f.Pump2Volume = "200";
             f.Presamples = "2";
         },
         K::Field, F::Presamples},
    };
    for (const auto& c : cases) {
        OptionsFields f = c.start();
        c.edit(f);
        const ValidationFailure r = validateOptions(f);
        EXPECT_EQ(r.kind, c.kind) << c.name;
        if (c.kind != K::None) {
            EXPECT_EQ(r.field, c.field) << c.name;
        }
    }
}

TEST(OptionsValidation, MessagesAndLimits) {
    OptionsFields f = multipleRuns();
    f.Repeats = "1";
    EXPECT_EQ(validateOptions(f).message,
              "The number of repeating runs must be greater 1.  Please correct");

    f = singleRun();
    f.Pump1Volume = "151";
    EXPECT_EQ(validateOptions(f).message, "'Pump 1 Volume' + 'Pump 2 Volume' cannot exceed 250");

    f = singleRun();
    f.Dwell = "501";
    const ValidationFailure r = validateOptions(f);
    EXPECT_EQ(r.limits.min, 0);
    EXPECT_EQ(r.limits.max, 500);
    EXPECT_EQ(r.message, "'Dwell' must be a whole number from 0 to 500.");
    EXPECT_EQ(fieldRangeMessage(OptionField::Repeats),
              "'Number of Runs' must be a whole number from 1 to 255.");
}
