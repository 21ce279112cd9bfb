// The history never stops the program and loses nothing: what cannot be written now (a full
// disk, a read-only file, another program's lock) waits and is written later in order; two
// writers at once both succeed; an older database is migrated; a damaged one is set aside.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <thread>

#include "history/HistorySchema.h"
#include "history/HistoryTestSupport.h"
#include "history/PendingFile.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;
using namespace vantorix::history;
using namespace vantorix::test;

namespace {

QStringList setsOf(const std::vector<StoredEvent>& stored) {
    QStringList sets;
    for (const StoredEvent& e : stored) sets << e.event.file + ':' + fieldsText(e.event.fields);
    return sets;
}

// Another program holding the database's write lock.
struct Locker {
    sqlite3* db = nullptr;
    void lock(const QString& path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    void unlock() {
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        db = nullptr;
    }
};

}  // namespace

TEST(HistorySafety, WhatCannotBeWrittenWaitsAndIsWrittenLaterInOrder) {
    struct Failure {
        const char* name;
        std::function<void(TinyTmpfs&, const QString&)> inject;
        Written kept;
    };
    std::unique_ptr<ReadOnlyFile> readOnly;
    Locker locker;
    const Failure failures[] = {
        // The database's shared-memory file takes the last pages, so nothing beside it can be
        // written either: the entries wait in memory.
        {"full disk", [](TinyTmpfs& disk, const QString&) { disk.fillLeaving(4096); },
         Written::Held},
        {"read-only database",
         [&](TinyTmpfs&, const QString& path) { readOnly = std::make_unique<ReadOnlyFile>(path); },
         Written::Pending},
        {"locked by another program", [&](TinyTmpfs&, const QString& path) { locker.lock(path); },
         Written::Pending},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        TinyTmpfs disk(512);
        if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
        const QString path = disk.path() + "/history.sqlite";
        ASSERT_EQ(History(path, labOptions()).appendEvent(events::runCompleted("/d/a.ovd", 1)),
                  Written::Now);
        f.inject(disk, path);
        {
            History h(path, labOptions(200));
            EXPECT_EQ(h.appendEvent(events::runCompleted("/d/a.ovd", 2)), f.kept);
            EXPECT_TRUE(h.takeWriteNotice().startsWith("The run history " + path +
                                                       " could not be written ("));
            EXPECT_EQ(h.recordFile(fileFacts("/d/a.ovd", "9f86", 3)), f.kept);
            EXPECT_EQ(h.appendEvent(events::runCompleted("/d/a.ovd", 3)), f.kept);
            EXPECT_EQ(h.takeWriteNotice(), "");  // the user hears it once
            QFile::remove(disk.path() + "/filler");
            if (readOnly) readOnly.reset();
            if (locker.db) locker.unlock();
            EXPECT_EQ(h.appendEvent(events::runCompleted("/d/a.ovd", 4)), Written::Now);
        }
        const History after(path, labOptions());
        EXPECT_EQ(setsOf(after.events()), QStringList({"/d/a.ovd:sets=1", "/d/a.ovd:sets=2",
                                                       "/d/a.ovd:sets=3", "/d/a.ovd:sets=4"}));
        ASSERT_EQ(after.runs({}).size(), 1u);
        EXPECT_EQ(after.runs({})[0].facts.sha256, "9f86");
        EXPECT_TRUE(after.verifyChain().ok);
        EXPECT_EQ(QDir(disk.path()).entryList({"*.pending*"}, QDir::Files), QStringList());
    }
}

TEST(HistorySafety, TwoWritersAtOnceBothSucceed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    History(path, labOptions());  // created, so both writers find the tables
    auto writer = [&](const QString& file, std::vector<Written>& results) {
        History h(path, labOptions());
        for (int n = 1; n <= 100; ++n)
            results.push_back(h.appendEvent(events::runCompleted(file, n)));
    };
    std::vector<Written> desktop, tool;
    std::thread a(writer, "/d/desktop.ovd", std::ref(desktop));
    std::thread b(writer, "/d/tool.ovd", std::ref(tool));
    a.join();
    b.join();
    EXPECT_EQ(desktop, std::vector<Written>(100, Written::Now));
    EXPECT_EQ(tool, std::vector<Written>(100, Written::Now));
    const History h(path, labOptions());
    const ChainCheck check = h.verifyChain();
    EXPECT_TRUE(check.ok) << check.problem.toStdString();
    EXPECT_EQ(check.checked, 200);
    for (const char* file : {"/d/desktop.ovd", "/d/tool.ovd"}) {
        const std::vector<StoredEvent> own = h.events({file, {}});
        ASSERT_EQ(own.size(), 100u);
        EXPECT_EQ(fieldsText(own.back().event.fields), "sets=100");
    }
}

TEST(HistorySafety, AHistoryOnANetworkFolderKeepsARollbackJournal) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    History(path, labOptions()).appendEvent(events::fileSaved("/d/a.ovd", "9f86"));
    EXPECT_EQ(sqliteShell(path, "PRAGMA journal_mode"), std::make_pair(0, QString("wal")));
    const std::pair<const char*, bool> types[] = {
        {"ext4", true},  {"tmpfs", true}, {"NTFS", true},       {"nfs4", false},
        {"cifs", false}, {"smb3", false}, {"fuse.sshfs", false}};
    for (const auto& [type, wal] : types) EXPECT_EQ(writeAheadLogWorksOn(type), wal) << type;
}

TEST(HistorySafety, AnOlderDatabaseIsMigratedKeepingItsRecords) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    // The tables as the first version of the history wrote them, with a file recorded twice.
    const auto [created, said] = sqliteShell(path, R"(
CREATE TABLE file_record(id INTEGER PRIMARY KEY, path TEXT NOT NULL, sha256 TEXT NOT NULL,
  size INTEGER NOT NULL, run_time TEXT NOT NULL, recorded TEXT NOT NULL,
  date_text TEXT NOT NULL, time_text TEXT NOT NULL, test TEXT NOT NULL, operator TEXT NOT NULL,
  plate TEXT NOT NULL, notes TEXT NOT NULL, sets INTEGER NOT NULL, wells INTEGER NOT NULL,
  options TEXT NOT NULL, firmware TEXT NOT NULL, run_start TEXT NOT NULL, run_end TEXT NOT NULL,
  UNIQUE(path, sha256));
CREATE TABLE audit_event(seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, time TEXT NOT NULL,
  kind TEXT NOT NULL, login TEXT NOT NULL, host TEXT NOT NULL, version TEXT NOT NULL,
  file TEXT NOT NULL, fields BLOB NOT NULL, chain BLOB NOT NULL);
CREATE INDEX audit_event_file ON audit_event(file);
INSERT INTO file_record VALUES (1, '/d/a.ovd', 'aaaa', 10, '2026-11-01T09:00:00.000Z',
  '2026-11-01T10:00:00.000Z', '11/1/2026', '9:00:00 AM', 'ATP', 'Ana', 'P-1', '', 1, 96,
  'Presamples=0', '3.1', '2026-11-01T09:00:00.000Z', '2026-11-01T09:05:00.000Z');
INSERT INTO file_record VALUES (2, '/d/a.ovd', 'bbbb', 12, '2026-11-01T09:00:00.000Z',
  '2026-11-02T10:00:00.000Z', '11/1/2026', '9:00:00 AM', 'ATP', 'Ana Lima', 'P-1', '', 1, 96,
  'Presamples=0', '3.1', '2026-11-01T09:00:00.000Z', '2026-11-01T09:05:00.000Z');
PRAGMA user_version = 1;)");
    ASSERT_EQ(created, 0) << said.toStdString();
    History h(path, labOptions());
    ASSERT_TRUE(h.isOpen());
    EXPECT_EQ(sqliteShell(path, "PRAGMA user_version"), std::make_pair(0, QString("2")));
    std::vector<RunRow> runs = h.runs({});
    ASSERT_EQ(runs.size(), 1u);  // the newer record of the file
    EXPECT_EQ(QStringList({runs[0].facts.sha256, runs[0].facts.header.operatorName,
                           runs[0].facts.protocol, runs[0].when.toString(Qt::ISODate)}),
              QStringList({"bbbb", "Ana Lima", "", "2026-11-01T09:00:00Z"}));
    EXPECT_EQ(h.recordFile(fileFacts("/d/b.ovd", "cccc", 0, "ATP glow")), Written::Now);
    RunFilter byFile;
    byFile.file = "/d/b.ovd";
    runs = h.runs(byFile);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].facts.protocol, "ATP glow");
}

TEST(HistorySafety, ADamagedDatabaseIsSetAsideNotRecreatedOver) {
    struct Damage {
        const char* name;
        std::function<void(const QString&)> damage;
        bool foundAtOpen;
    };
    const Damage damages[] = {
        {"not a database", [](const QString& path) { writeFileBytes(path, QByteArray(8192, 'x')); },
         true},
        {"a page overwritten",
         [](const QString& path) {
             {
                 History h(path, labOptions());
                 for (int n = 0; n < 200; ++n)
                     h.recordFile(fileFacts(QString("/d/%1.ovd").arg(n), "aa"));
             }
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(2 * 4096));
             f.write(QByteArray(16, '\xff'));
         },
         false},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        d.damage(path);
        const QByteArray damaged = readFileBytes(path);
        History h(path, labOptions());
        History other(path, labOptions());  // another program with the damaged file open
        EXPECT_EQ(h.takeSetAsideNotice().isEmpty(), !d.foundAtOpen);
        EXPECT_EQ(h.checkIntegrity().isEmpty(), d.foundAtOpen);
        const QStringList aside = QDir(dir.path()).entryList({"history.sqlite.damaged-*[0-9]"});
        ASSERT_EQ(aside.size(), 1) << aside.join(' ').toStdString();
        EXPECT_TRUE(QRegularExpression("^history\\.sqlite\\.damaged-\\d{8}-\\d{6}$")
                        .match(aside[0])
                        .hasMatch());
        EXPECT_EQ(readFileBytes(dir.filePath(aside[0])), damaged);
        EXPECT_EQ(h.appendEvent(events::fileSaved("/d/a.ovd", "9f86")), Written::Now);
        EXPECT_EQ(other.appendEvent(events::fileSaved("/d/b.ovd", "9f87")), Written::Now);
        EXPECT_EQ(h.events().size(), 2u);
    }
}

TEST(HistorySafety, EntriesLeftWaitingAreWrittenOnceAndInOrderAtTheNextOpen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    const QByteArray saved =
        R"({"entry":"event","id":"e1","time":"2026-12-01T08:00:00.000Z","kind":"file.saved",)"
        R"("login":"bo","host":"lab-1","version":"2.0.9","file":"/d/a.ovd",)"
        R"("fields":[["sha256","9f86"]]})";
    const QByteArray exported =
        R"({"entry":"event","id":"e2","time":"2026-12-01T08:01:00.000Z","kind":"export.written",)"
        R"("login":"bo","host":"lab-1","version":"2.0.9","file":"/d/a.ovd",)"
        R"("fields":[["kind","csv"],["path","/d/a.csv"]]})";
    // A replay that stopped after claiming (and writing) its entries, and a pending file that
    // repeats one of them, holds a line no program wrote, and one more entry.
    writeFileBytes(path + ".pending.0000000000001-99", saved + "\n");
    writeFileBytes(path + ".pending", saved + "\nnot an entry\n" + exported + "\n");
    const History h(path, labOptions());
    const std::vector<StoredEvent> stored = h.events();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(QStringList({stored[0].id, stored[0].login, stored[0].time.toString(Qt::ISODate),
                           kindName(stored[1].event.kind), fieldsText(stored[1].event.fields)}),
              QStringList({"e1", "bo", "2026-12-01T08:00:00Z", "export.written",
                           "kind=csv; path=/d/a.csv"}));
    EXPECT_TRUE(h.verifyChain().ok);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.pending*"}, QDir::Files), QStringList());
    EXPECT_EQ(readFileBytes(path + ".unreadable"), "not an entry\n");
}

TEST(HistorySafety, EntriesAppendedWhileAnotherProgramReplaysAreTakenOnceInOrder) {
    QTemporaryDir dir;
    const QString pending = dir.filePath("history.sqlite.pending");
    std::atomic<bool> done = false;
    std::thread writer([&] {
        QString why;
        for (int n = 0; n < 300; ++n)
            EXPECT_TRUE(appendPending(pending, {QByteArray::number(n)}, why)) << why.toStdString();
        done = true;
    });
    std::vector<QByteArray> taken;
    auto replay = [&] {
        for (const QString& claim : claimPending(pending)) {
            std::vector<QByteArray> entries;
            QString why;
            ASSERT_TRUE(readClaim(claim, entries, why)) << why.toStdString();
            taken.insert(taken.end(), entries.begin(), entries.end());
            QFile::remove(claim);
        }
    };
    while (!done) replay();
    writer.join();
    replay();
    ASSERT_EQ(taken.size(), 300u);
    for (int n = 0; n < 300; ++n) ASSERT_EQ(taken[n], QByteArray::number(n));
}
