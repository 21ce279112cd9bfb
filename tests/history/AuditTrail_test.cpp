// The audit trail: each kind of event with its fields, the documented canonical form and chain,
// and `audit verify` naming the first event changed, removed or added in a copy of the database.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "history/HistoryTestSupport.h"

using namespace vantorix;
using namespace vantorix::history;
using namespace vantorix::test;

TEST(AuditTrail, RecordsEachKindOfEventWithItsFields) {
    struct Row {
        Event event;
        const char* kind;
        const char* file;
        const char* fields;
    };
    const Row rows[] = {
        {events::runStarted("ATP glow", "ab12"), "run.started", "",
         "protocol=ATP glow; protocol_sha256=ab12"},
        {events::runCompleted("/d/a.ovd", 3), "run.completed", "/d/a.ovd", "sets=3"},
        {events::runCancelled("You have cancelled this run."), "run.cancelled", "",
         "reason=You have cancelled this run."},
        {events::runRecovered("/r/j1.journal", "/d/b.ovd"), "run.recovered", "/d/b.ovd",
         "journal=/r/j1.journal"},
        {events::fileSaved("/d/a.ovd", "9f86"), "file.saved", "/d/a.ovd", "sha256=9f86"},
        {events::fileSavedElsewhere("/usb/a.ovd", "disk full", "/home/a.ovd", "9f87"),
         "file.saved-elsewhere", "/home/a.ovd",
         "intended=/usb/a.ovd; reason=disk full; sha256=9f87"},
        {events::headerChanged("/d/a.ovd", "Operator", "Bo", "Åsa"), "header.changed", "/d/a.ovd",
         "field=Operator; old=Bo; new=Åsa"},
        {events::exportWritten("/d/a.ovd", "xlsx", "/d/a.xlsx"), "export.written", "/d/a.ovd",
         "kind=xlsx; path=/d/a.xlsx"},
        {events::reportWritten("/d/a.ovd", "pdf", "/d/a.pdf"), "report.written", "/d/a.ovd",
         "kind=pdf; path=/d/a.pdf"},
        {events::analysisDone("/d/a.ovd", "c0ff", "4PL", {{"B7", "bubble"}, {"H12", "outlier"}}),
         "analysis.done", "/d/a.ovd",
         "layout_sha256=c0ff; model=4PL; excluded.B7=bubble; excluded.H12=outlier"},
        {events::firmwareSent("beef", "failed: no answer"), "firmware.sent", "",
         "image_sha256=beef; outcome=failed: no answer"},
        {events::settingsChanged("Communication/ComPort", "1", "3"), "settings.changed", "",
         "key=Communication/ComPort; old=1; new=3"},
    };
    QTemporaryDir dir;
    History h(dir.filePath("history.sqlite"), labOptions());
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    for (const Row& r : rows) EXPECT_EQ(h.appendEvent(r.event), Written::Now);
    const std::vector<StoredEvent> stored = h.events();
    ASSERT_EQ(stored.size(), std::size(rows));
    for (size_t i = 0; i < stored.size(); ++i) {
        SCOPED_TRACE(rows[i].kind);
        EXPECT_EQ(stored[i].seq, qint64(i + 1));
        EXPECT_EQ(kindName(stored[i].event.kind), rows[i].kind);
        EXPECT_EQ(stored[i].event.file, rows[i].file);
        EXPECT_EQ(fieldsText(stored[i].event.fields), QString::fromUtf8(rows[i].fields));
        EXPECT_EQ(QStringList({stored[i].login, stored[i].host, stored[i].programVersion}),
                  QStringList({"ana", "lab-3", "2.1.0"}));
        EXPECT_EQ(stored[i].time.timeSpec(), Qt::UTC);
        EXPECT_GE(stored[i].time, before);
        EXPECT_EQ(stored[i].id.size(), 36);
    }
    EXPECT_EQ(h.events({"/d/a.ovd", {}}).size(), 6u);
    EXPECT_EQ(h.verifyChain().checked, 12);
}

TEST(AuditTrail, CanonicalBytesAndChainFollowTheDocumentedForm) {
    const StoredEvent e{1,
                        "0b9f7c2e-1d2a-4c1e-9a57-3f4d2b6c8e10",
                        QDateTime::fromString("2026-12-07T01:53:57.123Z", Qt::ISODateWithMs),
                        "ana",
                        "lab-3",
                        "2.1.0",
                        events::headerChanged("/data/run 7.ovd", "Operator", "Bo", "Åsa\nL"),
                        {}};
    // Lengths count UTF-8 bytes: "Åsa\nL" is 6. The value was computed with Python's hashlib.
    EXPECT_EQ(canonicalBytes(e),
              "vantorix-audit 1\nseq 1\n1\nid 36\n0b9f7c2e-1d2a-4c1e-9a57-3f4d2b6c8e10\n"
              "time 24\n2026-12-07T01:53:57.123Z\nkind 14\nheader.changed\nlogin 3\nana\n"
              "host 5\nlab-3\nversion 5\n2.1.0\nfile 15\n/data/run 7.ovd\nfield 8\nOperator\n"
              "old 2\nBo\nnew 6\n\xc3\x85sa\nL\n");
    EXPECT_EQ(chainValue(QByteArray(32, '\0'), canonicalBytes(e)).toHex(),
              "867f1dd3b59b6ddb2ef86767375e7684fea196bcd3a1e9fe714968a6f288a170");
}

TEST(AuditTrail, VerifyNamesTheFirstEventChangedRemovedOrAddedInACopy) {
    QTemporaryDir dir;
    const QString original = dir.filePath("history.sqlite");
    {
        History h(original, labOptions());
        for (int set = 1; set <= 5; ++set) h.appendEvent(events::runCompleted("/d/a.ovd", set));
    }
    struct Row {
        const char* name;
        const char* sql;
        int exitCode;
        const char* said;
    };
    const Row rows[] = {
        {"untouched", "", 0, "5 events checked; the chain is intact"},
        {"edited",
         "DROP TRIGGER audit_event_no_update; UPDATE audit_event SET login = 'eve' "
         "WHERE seq = 3;",
         1, "audit trail broken at event 3 (run.completed"},
        {"fields edited",
         "DROP TRIGGER audit_event_no_update; UPDATE audit_event SET fields = "
         "CAST('sets 1\n9\n' AS BLOB) WHERE seq = 4;",
         1, "audit trail broken at event 4 (run.completed"},
        {"deleted", "DROP TRIGGER audit_event_no_delete; DELETE FROM audit_event WHERE seq = 2;", 1,
         "audit trail broken at event 3 follows event 1"},
        {"inserted",
         "INSERT INTO audit_event VALUES (6, 'x', '2026-12-07T02:00:00.000Z', "
         "'file.saved', 'eve', 'h', '2.1.0', '/x.ovd', CAST('' AS BLOB), "
         "zeroblob(32));",
         1, "audit trail broken at event 6 (file.saved, 2026-12-07T02:00:00.000Z)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString copy = dir.filePath(QString("copy-%1.sqlite").arg(r.name));
        ASSERT_TRUE(QFile::copy(original, copy));
        if (*r.sql) {
            ASSERT_EQ(sqliteShell(copy, r.sql).first, 0);
        }
        const CliResult v = runCli({"audit", "verify", "--history", copy});
        EXPECT_EQ(v.exitCode, r.exitCode) << v.err.toStdString();
        EXPECT_TRUE((v.out + v.err).contains(r.said)) << (v.out + v.err).toStdString();
    }
}

TEST(AuditTrail, TheDatabaseRefusesChangesAndDeletionsOfEvents) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    History(path, labOptions()).appendEvent(events::fileSaved("/d/a.ovd", "9f86"));
    for (const char* refused :
         {"UPDATE audit_event SET login = 'eve'", "DELETE FROM audit_event"}) {
        const auto [exitCode, said] = sqliteShell(path, refused);
        EXPECT_NE(exitCode, 0);
        EXPECT_TRUE(said.contains(QString("audit events are never ") +
                                  (refused[0] == 'U' ? "changed" : "deleted")))
            << said.toStdString();
    }
    EXPECT_EQ(sqliteShell(path, "SELECT login FROM audit_event"),
              std::make_pair(0, QString("ana")));
}
