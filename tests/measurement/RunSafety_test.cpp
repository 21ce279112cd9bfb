// A run never drops readings: the partial dataset of a cancelled run, the journal that stays
// until the file is saved, and a grid that shows the live dataset only.
#include <gtest/gtest.h>

#include <QDir>

#include "RunFixture.h"
#include "files/KeyStore.h"
#include "files/OvdParser.h"
#include "measurement/RunRecovery.h"
#include "measurement/RunTexts.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

int readingsIn(const DocumentSession& s, int set) {
    int n = 0;
    for (int w = 0; w < 96; ++w) n += s.document().reading(set, w / 12 + 1, w % 12 + 1).raw ? 1 : 0;
    return n;
}

// A three-dataset run over A1-A12, cancelled once set 2 has this many readings.
void cancelInSecondSet(RunFixture& f, int readings) {
    f.selectWells({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 3;
    f.session.runOptions().Prime1 = 2;
    f.run.start();
    ASSERT_TRUE(f.runUntilStatus("Waiting for 2nd of 3 datasets"));
    ASSERT_TRUE(f.pair.runUntil([&] { return readingsIn(f.session, 2) >= readings; }, 600'000));
    f.run.cancel();
    ASSERT_TRUE(f.finish());
}

}  // namespace

// A cancel in the second dataset keeps the first; readings already taken of the second are
// offered as a partial dataset, and the journal keeps them when the user declines.
TEST(RunSafety, CancelInTheSecondDatasetKeepsTheFirstAndOffersItsReadings) {
    const QString offer =
        "You have cancelled this run.\n\n5 readings of dataset 2 were taken before the run "
        "stopped. Keep them as a partial dataset (wells not read are left without a reading)?";
    const struct {
        int readings;  // of set 2 when cancelled
        bool keep;
        const char* sets;
        int journals;  // left for recovery
        int setCount;  // datasets in the browser; 0 = one dataset, no browser
    } cases[] = {{0, false, "1", 0, 0}, {5, true, "2", 0, 2}, {5, false, "1", 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.readings << c.keep);
        RunFixture f;
        f.ui.keepAnswers = {c.keep};
        cancelInSecondSet(f, c.readings);
        EXPECT_EQ(f.run.outcome(), RunOutcome::Cancelled);
        EXPECT_EQ(f.sentLines().back(), "S");
        if (c.readings == 0) {
            EXPECT_TRUE(f.ui.questions.empty());
            EXPECT_EQ(f.ui.notices, std::vector<QString>{kCancelledText});
        } else {
            ASSERT_EQ(f.ui.questions.size(), 1u);
            EXPECT_EQ(f.ui.questions[0].text, offer);
            EXPECT_TRUE(f.ui.notices.empty());
        }
        EXPECT_EQ(f.session.runOptions().Prime1, 2);  // only a completed run primes no more
        EXPECT_EQ(f.session.setCount(), c.setCount);
        // The file holds the datasets kept; a cancelled run is not read back.
        EXPECT_FALSE(f.session.document().fromFile);
        KeyStore file;
        ASSERT_TRUE(parseDataBytes(file, test::readFileBytes(f.session.path()), false));
        EXPECT_EQ(file.value(kRootKey + ".data.sets"), c.sets);
        if (c.keep) {
            const QStringList wells =
                file.value(kRootKey + ".data.set-data-002").split(u' ', Qt::SkipEmptyParts);
            ASSERT_EQ(wells.size(), 96);
            EXPECT_NE(wells[4], "-1");
            EXPECT_EQ(wells[5], "-1");
            EXPECT_EQ(wells[11], "-1");
        }
        EXPECT_EQ(interruptedJournals(f.dir.filePath("recovery")).size(), size_t(c.journals));
    }
}

TEST(RunSafety, JournalStaysUntilTheRunIsSaved) {
    const struct {
        const char* file;
        bool saved;
    } cases[] = {{"plate.001", true}, {"no-such-folder/plate.001", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RunFixture f;
        f.selectWells({0, 95});
        f.ui.fileAnswer = f.dir.filePath(c.file);
        ASSERT_TRUE(f.runToEnd());
        EXPECT_EQ(f.session.saved(), c.saved);
        const QStringList journals = interruptedJournals(f.dir.filePath("recovery"));
        EXPECT_EQ(journals.isEmpty(), c.saved);
        EXPECT_EQ(f.run.journalPath().isEmpty(), c.saved);
        f.run.journalSaved();  // saved elsewhere after all
        EXPECT_TRUE(interruptedJournals(f.dir.filePath("recovery")).isEmpty());
    }
}

// A run that cannot keep a journal says so before its first reading, then goes on; a run that
// ends before its first reading leaves no journal behind.
TEST(RunSafety, JournalThatCannotBeMadeIsReportedBeforeTheFirstReading) {
    RunFixture f;
    f.selectWells({0, 1});
    writeFileBytes(f.dir.filePath("file"), "x");
    f.run.setJournalFolder(f.dir.filePath("file/recovery"));
    f.run.start();
    ASSERT_TRUE(f.pair.runUntil([&] { return !f.ui.errors.empty(); }, 600'000));
    EXPECT_EQ(readingsIn(f.session, 1), 0);
    EXPECT_EQ(f.ui.errors[0],
              "The run journal could not be created (cannot create the recovery folder " +
                  f.dir.filePath("file/recovery") +
                  "); the run goes on, but its readings are kept in memory only until the file "
                  "is saved.");
    ASSERT_TRUE(f.finish());
    EXPECT_EQ(readingsIn(f.session, 1), 2);
    EXPECT_TRUE(f.session.saved());
    EXPECT_EQ(f.ui.errors.size(), 1u);

    RunFixture early;
    early.selectWells({0});
    early.run.start();
    ASSERT_TRUE(early.runUntilStatus("Downloading Options"));
    early.run.cancel();
    ASSERT_TRUE(early.finish());
    EXPECT_TRUE(QDir(early.dir.filePath("recovery")).entryList(QDir::Files).isEmpty());
}

// The window learns of each dataset as it begins and ends, and of each reading as it comes.
TEST(RunSafety, TheWindowIsToldOfEachDatasetAndReading) {
    RunFixture f;
    f.selectWells({0, 1});
    f.session.runOptions().RepeatMode = true;
    f.session.runOptions().Repeats = 3;
    f.run.start();
    ASSERT_TRUE(f.runUntilStatus("Waiting for 2nd of 3 datasets"));
    EXPECT_EQ(f.ui.events, (std::vector<QString>{"begun 1 of 3", "done 1", "begun 2 of 3"}));
    EXPECT_EQ(f.ui.readings[0][0], 1);
    EXPECT_EQ(f.ui.readings[0][2], 0);
    ASSERT_TRUE(f.pair.runUntil([&] { return readingsIn(f.session, 2) == 1; }, 600'000));
    EXPECT_EQ(f.ui.readings[0][0] + f.ui.readings[0][1], 3);
    ASSERT_TRUE(f.finish());
    EXPECT_EQ(f.ui.events.back(), "ended 3");
    EXPECT_EQ(f.ui.readings[0][0], 3);
    EXPECT_EQ(f.ui.readings[0][1], 3);
}
