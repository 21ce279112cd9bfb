// vantorix-cli history and audit: runs found by operator, test, plate, date and file, each
// with whether its file still matches; events of one file; texts from files shown escaped.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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
