// vantorix-cli history and audit: runs found by operator, test, plate, date and file, each
// with whether its file still matches; events of one file; texts from files shown escaped.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "analysis/AnalysisPlate.h"
#include "files/PlateFile.h"
#include "history/HistoryTestSupport.h"
#include "kernel/SettingsKeys.h"
#include "kernel/SettingsStore.h"

using namespace vantorix;
using namespace vantorix::history;
using namespace vantorix::test;

namespace {

struct Run {
    const char* name;
    const char* operatorName;
    const char* test;
    const char* plate;
    int sets;
    const char* start;
};

void record(History& h, const QString& folder, const Run& r) {
    const QString path = folder + '/' + r.name;
    const QByteArray bytes = QByteArray("readings of ") + r.name;
    writeFileBytes(path, bytes);
    PlateDocument doc;
    doc.header = {r.test, r.operatorName, r.plate, {}, {}, {}, false, {}, {}};
    doc.datasets.resize(r.sets);
    const QDateTime start = QDateTime::fromString(r.start, Qt::ISODate);
    ASSERT_EQ(h.recordFile(factsOf(path, bytes, doc, start, start.addSecs(300))), Written::Now);
}

}  // namespace

TEST(HistoryCli, ListsRunsFoundByEachFilterWithWhetherTheirFileMatches) {
    qputenv("TZ", "UTC");  // dates are printed in local time
    QTemporaryDir dir;
    const QString d = dir.path(), db = d + "/history.sqlite";
    {
        History h(db, labOptions());
        record(h, d, {"a.ovd", "Ana Lima", "ATP", "P-7", 2, "2026-11-20T09:00:00Z"});
        record(h, d,
               {"b.ovd", "Bo Berg", "Luciferase\nfake row", "P-8", 1, "2026-11-10T14:30:00Z"});
        record(h, d, {"c.ovd", "ana lima", "ATP glow", "P-70", 3, "2026-12-01T08:15:00Z"});
        h.appendEvent(events::headerChanged(d + "/a.ovd", "Plate", "P-6", "P-7"));
        h.appendEvent(events::fileSaved(d + "/b.ovd", "9f86"));
    }
    writeFileBytes(d + "/b.ovd", "changed by hand");
    QFile::remove(d + "/c.ovd");
    const QString a = "2026-11-20 09:00\tAna Lima\tATP\tP-7\t2\t" + d + "/a.ovd\tok\n";
    const QString b =
        "2026-11-10 14:30\tBo Berg\tLuciferase\\nfake row\tP-8\t1\t" + d + "/b.ovd\tchanged\n";
    const QString c = "2026-12-01 08:15\tana lima\tATP glow\tP-70\t3\t" + d + "/c.ovd\tmissing\n";
    struct Row {
        QStringList args;
        QString out;
    };
    const Row rows[] = {
        {{}, c + a + b},
        {{"--operator", "ANA"}, c + a},
        {{"--test", "luc"}, b},
        {{"--plate", "P-7"}, c + a},
        {{"--plate", "P_7"}, ""},  // "_" is no wildcard
        {{"--since", "2026-11-10", "--until", "2026-11-20"}, a + b},
        {{"--since", "2026-11-20 09:01"}, c},
        {{"--file", d + "/b.ovd"}, b},
        {{"--operator", "nobody"}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const CliResult result = runCli(QStringList{"history", "--history", db} + r.args);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out, r.out);
    }
    const CliResult badDate = runCli({"history", "--history", db, "--since", "last week"});
    EXPECT_EQ(badDate.exitCode, 2);
    EXPECT_EQ(badDate.err, "vantorix-cli: history: 'last week' is no date (2026-12-01)\n");

    const CliResult events = runCli({"audit", "--history", db, "--file", d + "/a.ovd"});
    EXPECT_EQ(events.exitCode, 0);
    const QStringList columns = events.out.trimmed().split('\t');
    ASSERT_EQ(columns.size(), 7) << events.out.toStdString();
    EXPECT_EQ(columns.mid(2), QStringList({"ana@lab-3", "2.1.0", "header.changed", d + "/a.ovd",
                                           "field=Plate; old=P-6; new=P-7"}));
    const CliResult verify = runCli({"audit", "verify", "--history", db});
    EXPECT_EQ(verify.exitCode, 0);
    EXPECT_TRUE(verify.out.startsWith("changed outside the program: " + d + "/b.ovd (recorded "))
        << verify.out.toStdString();
    EXPECT_TRUE(verify.out.contains("2 events checked")) << verify.out.toStdString();
}

TEST(HistoryFacts, ADocumentsFactsAndWhereTheHistoryLives) {
    PlateDocument doc;
    doc.header = {"ATP", "Ana", "P-7", "spiked", "12/6/2026", "3:04:05 PM", false, {}, {}};
    doc.options.SelectedWells[0].fill(false);  // row A left out: 84 wells
    doc.options.Dwell = 250;
    doc.options.RepeatMode = true;
    doc.firmwareVersion = "3.1";
    doc.datasets.resize(2);
    const FileFacts f = factsOf("/d/a.ovd", "abc", doc);
    EXPECT_EQ(
        QStringList({f.path, f.sha256, QString::number(f.size), QString::number(f.sets),
                     QString::number(f.wells), f.firmware, f.header.notes}),
        QStringList({"/d/a.ovd", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
                     "3", "2", "84", "3.1", "spiked"}));
    EXPECT_EQ(f.options,
              "Presamples=0;Postsamples=20;Pump1Volume=100;Pump2Volume=100;Dwell=250;"
              "PostInjectDelay=0;Reaction=1;RepeatMode=1;Repeats=1;Delay=0;Sensitive=0");

    MemorySettingsStore settings;
    EXPECT_EQ(historyPath(settings),
              qEnvironmentVariable("XDG_DATA_HOME") + "/vantorix/history.sqlite");
    settings.write(settings::kHistory, settings::kHistoryDatabase, "/lab/shared/history.sqlite");
    EXPECT_EQ(historyPath(settings), "/lab/shared/history.sqlite");
}

// Eight vantorix-cli processes and this program (writing through the History the desktop
// program uses) append to one history at once: every write succeeds, no event is lost, and the
// chain verifies.
TEST(HistoryCli, ProgramsWritingAtOnceAllSucceedAndLoseNoEvent) {
    QTemporaryDir dir;
    PlateDocument doc;
    Dataset set;
    handPlate(set, doc.layout);
    doc.datasets = {set};
    const QString data = dir.filePath("run.ovd");
    ASSERT_TRUE(writePlateFile(doc, data, QDateTime(QDate(2026, 12, 7), QTime(9, 0))).ok);
    const QString db = historyPath(QSettingsStore());
    History mine(db, labOptions(10000));
    const size_t before = mine.events().size();
    std::vector<std::unique_ptr<QProcess>> clis;
    for (int n = 1; n <= 8; ++n) {
        const QString layout = dir.filePath(QString("layout%1.csv").arg(n));
        writeFileBytes(layout, QString("well,role,name,concentration,dilution,excluded\n"
                                       "D1,positive,,,,\nD2,positive,,,,\nD3,negative,,,,\n"
                                       "D4,negative,,,,\nD5,positive,,,,writer %1\n")
                                   .arg(n)
                                   .toUtf8());
        clis.push_back(std::make_unique<QProcess>());
        clis.back()->start(VANTORIX_CLI_PATH, {"analyze", data, "--layout", layout});
    }
    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(mine.appendEvent(events::settingsChanged("Options/Dwell", QString::number(n),
                                                           QString::number(n + 1))),
                  Written::Now);
    for (const auto& cli : clis) {
        ASSERT_TRUE(cli->waitForFinished(60000));
        EXPECT_EQ(cli->exitCode(), 0);
        // Only the analysis's own remark: no word of a history that could not be written.
        EXPECT_EQ(cli->readAllStandardError(),
                  "vantorix-cli: set 1: no blank wells with readings: values are not "
                  "blank-subtracted\n");
    }
    const std::vector<StoredEvent> all = mine.events();
    ASSERT_EQ(all.size(), before + 48);
    QStringList writers;
    int settings = 0;
    for (size_t i = before; i < all.size(); ++i) {
        if (all[i].event.kind == EventKind::AnalysisDone)
            writers << fieldValue(all[i].event.fields, "excluded.D5");
        else
            ++settings;
    }
    writers.sort();
    EXPECT_EQ(writers, QStringList({"writer 1", "writer 2", "writer 3", "writer 4", "writer 5",
                                    "writer 6", "writer 7", "writer 8"}));
    EXPECT_EQ(settings, 40);
    const CliResult verify = runCli({"audit", "verify"});
    EXPECT_EQ(verify.exitCode, 0) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.contains(QString("%1 events checked").arg(all.size())))
        << verify.out.toStdString();
}
