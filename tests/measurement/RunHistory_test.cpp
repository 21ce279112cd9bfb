// How each way a run ends is recorded: the file saved (when one was), then the outcome with
// its reason.
#include "measurement/RunHistory.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/PlateFile.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(RunHistory, EachOutcomeIsRecordedWithItsReasonAndFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("run.ovd");
    PlateDocument doc;
    doc.datasets.resize(2);
    ASSERT_TRUE(writePlateFile(doc, file, QDateTime(QDate(2026, 12, 1), QTime(8, 0))).ok);
    const struct {
        RunOutcome outcome;
        bool saved;
        const char* failure;
        const char* kind;
        history::Fields fields;
    } cases[] = {
        {RunOutcome::Completed, true, "", "run.completed", {{"sets", "2"}}},
        {RunOutcome::Completed, false, "", "run.completed", {{"sets", "0"}}},
        {RunOutcome::Cancelled, true, "", "run.cancelled", {{"reason", "cancelled by the user"}}},
        {RunOutcome::Failed,
         false,
         "The connection was lost",
         "run.cancelled",
         {{"reason", "The connection was lost"}}},
        {RunOutcome::NotStarted, false, "", "run.cancelled", {{"reason", "no file was named"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        RunHistory h(dir.filePath("history.sqlite"));
        const qsizetype before = h.db().events().size();
        h.runEnded(c.saved ? file : QString(), c.outcome, QString::fromUtf8(c.failure));
        const std::vector<history::StoredEvent> events = h.db().events();
        ASSERT_EQ(events.size(), size_t(before + (c.saved ? 2 : 1)));
        if (c.saved) {
            EXPECT_EQ(history::kindName(events[before].event.kind), "file.saved");
            EXPECT_EQ(events[before].event.file, file);
        }
        EXPECT_EQ(history::kindName(events.back().event.kind), QString::fromUtf8(c.kind));
        EXPECT_EQ(events.back().event.file, c.saved ? file : QString());
        EXPECT_EQ(events.back().event.fields, c.fields);
    }
}
