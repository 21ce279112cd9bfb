// The history's costs where the user could feel them: appending an event (every save, export
// and header edit; target under 1 ms), finding runs among 100,000 (target under 100 ms) and
// opening a history of 100,000 runs, which the desktop program does at start-up (target under
// 20 ms). The database lies where the per-user history lives.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "history/History.h"

using namespace vantorix;
using namespace vantorix::history;

namespace {

constexpr int kRuns = 100000;

QTemporaryDir& benchFolder() {
    static QDir created(QFileInfo(defaultHistoryPath()).absolutePath());
    static bool made = created.mkpath(QStringLiteral("."));
    static QTemporaryDir dir(created.filePath(QStringLiteral("bench-XXXXXX")));
    (void)made;
    return dir;
}

// 100,000 runs of 20 operators and 50 tests over two years, written in one transaction.
QString largeHistory() {
    static const QString path = [] {
        const QString p = benchFolder().filePath(QStringLiteral("large.sqlite"));
        History(p).appendEvent(events::settingsChanged(QStringLiteral("bench"), {}, {}));
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(p).constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO file_record(path, sha256, size, run_time, recorded, "
                           "date_text, time_text, test, operator, plate, notes, sets, wells, "
                           "options, firmware, run_start, run_end) VALUES (?1, ?2, 4096, ?3, ?3, "
                           "'', '', ?4, ?5, ?6, '', 3, 96, 'Presamples=0', '3.1', ?3, ?3)",
                           -1, &insert, nullptr);
        const QDateTime start(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC);
        for (int n = 0; n < kRuns; ++n) {
            const QByteArray fields[] = {
                QStringLiteral("/lab/data/run%1.ovd").arg(n).toUtf8(),
                QByteArray::number(n, 16).rightJustified(64, '0'),
                start.addSecs(n * 600LL).toString(Qt::ISODateWithMs).toUtf8(),
                QStringLiteral("Test %1").arg(n % 50).toUtf8(),
                QStringLiteral("Operator %1").arg(n % 20).toUtf8(),
                QStringLiteral("P-%1").arg(n).toUtf8()};
            for (int i = 0; i < 6; ++i)
                sqlite3_bind_text(insert, i + 1, fields[i].constData(), int(fields[i].size()),
                                  SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

void BM_AppendEvent(benchmark::State& state) {
    History h(benchFolder().filePath(QStringLiteral("append.sqlite")));
    int n = 0;
    for (auto _ : state) {
        if (h.appendEvent(events::headerChanged(QStringLiteral("/lab/data/run1.ovd"),
                                                QStringLiteral("Notes"), QString::number(n),
                                                QString::number(n + 1))) != Written::Now) {
            state.SkipWithError("the event could not be written");
            return;
        }
        ++n;
    }
}
BENCHMARK(BM_AppendEvent)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// state.range(0): 0 = one operator's runs (5,000 of 100,000), 1 = the newest 200 runs,
// 2 = a test and a month (about 90 runs).
void BM_FindRuns(benchmark::State& state) {
    const History h(largeHistory());
    RunFilter filter;
    if (state.range(0) == 0) filter.operatorName = QStringLiteral("Operator 7");
    if (state.range(0) == 1) filter.limit = 200;
    if (state.range(0) == 2) {
        filter.test = QStringLiteral("Test 17");
        filter.since = QDateTime(QDate(2026, 3, 1), QTime(0, 0), Qt::UTC);
        filter.until = QDateTime(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC);
    }
    size_t found = 0;
    for (auto _ : state) found = h.runs(filter).size();
    state.counters["runs"] = double(found);
}
BENCHMARK(BM_FindRuns)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_OpenLargeHistory(benchmark::State& state) {
    const QString path = largeHistory();
    for (auto _ : state) {
        History h(path);
        benchmark::DoNotOptimize(h.isOpen());
    }
}
BENCHMARK(BM_OpenLargeHistory)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
