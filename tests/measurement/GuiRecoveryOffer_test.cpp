// The start-up offer to recover runs whose journal was left behind.
#include "measurement/GuiRecoveryOffer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include "files/OvdLoader.h"
#include "measurement/GuiScriptedDialogs.h"
#include "measurement/RunJournal.h"

namespace vantorix {
namespace {

// A journal of a run of three sets meant for "Plate.007.ovd": three readings, one dataset
// complete.
QString leaveJournal(const QString& folder) {
    JournalHeader h;
    h.test = QStringLiteral("glow");
    h.plateNo = QStringLiteral("P7");
    h.operatorName = QStringLiteral("Ana");
    h.notes = QStringLiteral("second try");
    h.sets = 3;
    h.file = QStringLiteral("/data/Plate.007.ovd");
    RunJournal j(folder);
    EXPECT_TRUE(j.begin(h, QDateTime(QDate(2026, 12, 5), QTime(17, 45, 0))));
    for (int c = 1; c <= 3; ++c) EXPECT_TRUE(j.recordReading(1, 3, c, "500", "2"));
    EXPECT_TRUE(j.recordDataset(1, QString()));
    j.close();
    return j.path();
}

// The offer names the run; the file written says it was recovered and incomplete (in its
// notes: the file's layout has no other place) and is handed on to be opened.
TEST(GuiRecoveryOffer, AsksAtStartUpAndWritesTheFileTheUserNames) {
    const struct {
        bool yes;
        bool fileWritten;
        const char* journalLeft;  // suffix of what is left of the journal, "" = nothing
    } cases[] = {{true, true, ""}, {false, false, ".declined"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.yes);
        QTemporaryDir journals, data;
        const QString journal = leaveJournal(journals.path());
        QWidget parent;
        test::ScriptedDialogs dialogs;
        dialogs.yesNoAnswers = {c.yes};
        bool done = false;
        QStringList opened;
        offerRecovery(
            &parent, dialogs, journals.path(), data.path(), [&] { done = true; },
            [&](const QString& path) { opened << path; });
        EXPECT_TRUE(done);
        ASSERT_FALSE(dialogs.texts("yesno").isEmpty());
        EXPECT_EQ(dialogs.texts("yesno")[0],
                  "A run of 2026-12-05 17:45 with 3 readings in 1 dataset was interrupted. "
                  "Recover it?\n\nThe run: plate P7, test glow, operator Ana.");
        EXPECT_EQ(QFile::exists(data.filePath("Plate.007.ovd")), c.fileWritten);
        EXPECT_EQ(QFile::exists(journal + c.journalLeft), *c.journalLeft != '\0');
        EXPECT_EQ(opened,
                  c.fileWritten ? QStringList{data.filePath("Plate.007.ovd")} : QStringList{});
        if (!c.fileWritten) continue;
        EXPECT_EQ(dialogs.texts("file"), QStringList{"Plate.007.ovd in " + data.path()});
        EXPECT_EQ(dialogs.texts("inform"),
                  QStringList{"The run was recovered to " + data.filePath("Plate.007.ovd") +
                              ".\nIt is incomplete: 1 of 3 sets complete."});
        PlateDocument back;
        ASSERT_TRUE(LoadDataFile(back, data.path(), data.filePath("Plate.007.ovd")).ok);
        EXPECT_EQ(back.reading(1, 3, 2).raw, std::optional<double>(500));
        EXPECT_EQ(back.header.test, "glow");
        EXPECT_EQ(back.header.notes,
                  "[Recovered, incomplete run: 1 of 3 sets complete] second try");
    }
}

}  // namespace
}  // namespace vantorix
