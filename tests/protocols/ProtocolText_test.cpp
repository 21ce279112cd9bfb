// The protocol's text form: what it reads, that it writes back the same bytes, and the message
// each kind of bad line gets.
#include "protocols/ProtocolText.h"

#include <gtest/gtest.h>

#include <tuple>

#include "options/WellSelection.h"
#include "protocols/ProtocolSample.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

// The sample with its line `number` (1-based) replaced by `text` ("" drops the line).
QString withLine(int number, const QString& text) {
    QStringList lines = kSampleProtocol.split(u'\n');
    if (text.isEmpty())
        lines.removeAt(number - 1);
    else
        lines[number - 1] = text;
    return lines.join(u'\n');
}

}  // namespace

TEST(ProtocolText, ReadsEveryFieldAndWritesTheSameBytesBack) {
    AssayProtocol p;
    ASSERT_EQ(readProtocolText(kSampleProtocol, p), QString());
    EXPECT_EQ(p.name, "Glow ELISA (plate 2)");
    const RunOptions& o = p.options;
    EXPECT_TRUE(o.RepeatMode);
    const int numbers[] = {o.Repeats,     o.Delay,  o.Presamples, o.Postsamples, o.Pump1Volume,
                           o.Pump2Volume, o.Prime1, o.Prime2,     o.Dwell,       o.PostInjectDelay};
    const int expected[] = {3, 60, 0, 20, 120, 130, 2, 0, 500, 250};
    EXPECT_TRUE(std::equal(std::begin(numbers), std::end(numbers), std::begin(expected)));
    EXPECT_EQ(o.Reaction, kReactionFlash);
    EXPECT_EQ(o.Sensitive, 1);
    EXPECT_EQ(formatWellList(o.SelectedWells), "A1-B3");
    const AnalysisSettings& a = p.analysis;
    EXPECT_EQ(a.model, CurveModel::FivePL);
    EXPECT_EQ(a.weighting, Weighting::InverseY2);
    EXPECT_EQ(std::tuple(a.cvThreshold, a.recoveryLow, a.recoveryHigh),
              std::tuple(15.0, 85.0, 115.0));
    EXPECT_EQ(a.rules.maxBlankCv, std::nullopt);
    EXPECT_EQ(a.rules.minR2, 0.99);
    EXPECT_EQ(a.rules.minZPrime, 0.5);
    const WellAssignment& a4 = p.layout.wells[3];
    EXPECT_EQ(a4,
              (WellAssignment{WellRole::Standard, "Std 2", 2.5e-05, 1, true, "bubble in well"}));
    EXPECT_EQ(p.layout.wells[2].concentration, 0.1);
    EXPECT_EQ(p.layout.wells[12],
              (WellAssignment{WellRole::Sample, "Patient 7", {}, 2, false, {}}));
    EXPECT_EQ(p.layout.wells[13].role, WellRole::Positive);
    EXPECT_EQ(p.layout.wells[14].role, WellRole::Negative);
    EXPECT_EQ(p.layout.wells[1].role, WellRole::Blank);
    EXPECT_EQ(p.layout.wells[15].role, WellRole::Empty);
    EXPECT_EQ(protocolText(p), kSampleProtocol);

    // Windows line ends, blank lines and comments read the same.
    AssayProtocol again;
    QString crlf = kSampleProtocol;
    crlf.replace("\n", "\r\n").replace("runs =", "\r\n# the runs\r\nruns =");
    ASSERT_EQ(readProtocolText(crlf, again), QString());
    EXPECT_EQ(again, p);

    // The standards' unit, when one is given, follows the layout map.
    QString withUnit = kSampleProtocol;
    withUnit.replace("A3.name", "concentration-unit = ng/mL\nA3.name");
    ASSERT_EQ(readProtocolText(withUnit, again), QString());
    EXPECT_EQ(again.layout.concentrationUnit, "ng/mL");
    EXPECT_EQ(protocolText(again), withUnit);
}

TEST(ProtocolText, NamesTheLineOfTheFirstBadValue) {
    const struct {
        QString text;
        const char* message;
    } cases[] = {
        {withLine(13, "dwell = 501"), "line 13: 'Dwell' must be a whole number from 0 to 500."},
        {withLine(7, "pre-inject = 0.5"),
         "line 7: 'PreInject' must be a whole number from 0 to 1."},
        {withLine(10, "pump2 = 131"),
         "line 10: 'Pump 1 Volume' + 'Pump 2 Volume' cannot exceed 250"},
        {withLine(5, "repeats = 1"), "line 5: repeated runs need a 'Number of Runs' from 2 to 255"},
        {withLine(6, "delay = soon"),
         "line 6: 'Delay between Runs' must be a whole number from 0 to 999."},
        {withLine(4, "runs = twice"), "line 4: runs takes single or repeated, not 'twice'"},
        {withLine(15, "reaction = fast"), "line 15: reaction takes glow or flash, not 'fast'"},
        {withLine(16, "sensitive = yes"), "line 16: sensitive takes on or off, not 'yes'"},
        {withLine(2, "vantorix-protocol = 2"),
         "line 2: a protocol starts with 'vantorix-protocol = 1'"},
        {withLine(12, ""), "the protocol has no 'prime2' line"},
        {withLine(12, "prime1 = 3"), "line 12: 'prime1' is given twice (first on line 11)"},
        {withLine(17, "colour = red"), "line 17: unknown key 'colour'"},
        {withLine(17, "model 4pl"), "line 17: 'model 4pl' is no 'key = value' line"},
        {withLine(17, "model = 3pl"), "line 17: model takes linear, loglog, 4pl or 5pl, not '3pl'"},
        {withLine(18, "weighting = 1/x"), "line 18: weighting takes none, 1/y or 1/y2, not '1/x'"},
        {withLine(19, "cv-limit = 0"), "line 19: cv-limit takes a number above 0, not '0'"},
        {withLine(20, "recovery-low = 120"), "line 20: recovery-low must be below recovery-high"},
        {withLine(22, "max-blank-cv = none"),
         "line 22: max-blank-cv takes a number above 0, or off, not 'none'"},
        {withLine(23, "min-r2 = 1.5"),
         "line 23: min-r2 takes a number above 0 up to 1, or off, not '1.5'"},
        {withLine(24, "min-zprime = 2"),
         "line 24: min-zprime takes a number up to 1, or off, not '2'"},
        {withLine(3, "name = ../etc"),
         "line 3: '../etc' cannot name a protocol: use letters, digits, blanks and - _ . ( ) + "
         ", and start with a letter or digit"},
        {withLine(26, "wells = all"), "line 26: the wells map starts on the line after 'wells ='"},
        {withLine(27, "   1  2  3"),
         "line 27: the wells map begins with the column numbers 1 to 12"},
        {withLine(29, "B  x  x  y  .  .  .  .  .  .  .  .  ."),
         "line 29: row B of the wells map must read B and 12 of x or ."},
        {withLine(40, "C  U  P  N  .  .  .  .  .  .  .  .  ."),
         "line 40: row B of the layout map must read B and 12 of ., B, S, P, N or U"},
        {withLine(48, "B1.concentration = 3"),
         "line 48: only standards take a concentration; B1 is a sample"},
        {withLine(50, "A4.concentration = -1"),
         "line 50: concentration takes a number above 0, not '-1'"},
        {withLine(53, "B1.dilution = 0"), "line 53: dilution takes a number above 0, not '0'"},
        {withLine(53, "C9.name = x"),
         "line 53: C9 is empty in the layout map, so it takes no details"},
        {withLine(53, "Z9.name = x"), "line 53: 'Z9' is no well (A1 to H12)"},
        {withLine(53, "B1.colour = red"),
         "line 53: unknown well detail 'colour' (name, concentration, dilution, excluded)"},
        {withLine(19, "A3.name = x"), "line 19: well details come after the layout map"},
        {kSampleProtocol.section(u'\n', 0, 29) + u'\n',
         "line 31: row D of the wells map must read D and 12 of x or ."},
        {QString(), "a protocol starts with 'vantorix-protocol = 1'; this text has no such line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        AssayProtocol p;
        p.name = "unchanged";
        EXPECT_EQ(readProtocolText(c.text, p), QString::fromUtf8(c.message));
        EXPECT_EQ(p.name, "unchanged");
    }
}
