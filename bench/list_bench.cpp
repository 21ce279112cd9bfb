// Speed of listing a folder: writes folders of N data files (default 10,000 and 20,000) and
// times `vantorix-cli list` of each, then the file browser's list in this process: its first
// listing (empty header cache) and a reopen after Open (every header from the cache).
// Medians of five runs.
// Targets: 10,000 files in under 1 s; twice the files in no more than 2.2 times the time;
// the browser's reopen of an unchanged folder of 10,000 files in under 100 ms.
//
//   bench_list_bench [--keep DIR] [N ...]    (--keep: write the folders under DIR and keep them)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include "files/FolderListing.h"
#include "files/OvdWriter.h"
#include "files/PlateFile.h"
#include "kernel/Scheduler.h"

using namespace vantorix;

namespace {

constexpr int kRuns = 5;

// One written document of `sets` sets, its header texts replaced per file below.
QByteArray templateFile(const QString& folder, int sets) {
    PlateDocument d;
    const QString path = QDir(folder).filePath(QStringLiteral("template.tmp"));
    d.header.test = QStringLiteral("@TEST@");
    d.header.operatorName = QStringLiteral("@OPERATOR@");
    d.header.plateNo = QStringLiteral("@PLATE@");
    for (int set = 1; set <= sets; ++set)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c)
                d.dataset(set).at(r - 1, c - 1) = {20000 + 97 * set + 31 * r * c,
                                                   set * 40 + r * 12 + c, WellStatus::Read};
    if (!writePlateFile(runDocument(d, d.options, 1, sets), path, QDateTime::currentDateTime()).ok)
        std::abort();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) std::abort();
    QByteArray bytes = f.readAll();
    f.remove();
    return bytes;
}

QByteArray between(const QByteArray& bytes, const QByteArray& tag, const QByteArray& value) {
    QByteArray out = bytes;
    const QByteArray open = '<' + tag + '>', close = "</" + tag + '>';
    const qsizetype from = out.indexOf(open) + open.size();
    return out.replace(from, out.indexOf(close) - from, value);
}

// N files of 1 to 3 sets written at random times over five years; every 50th is damaged.
void makeFolder(const QString& folder, int n) {
    QDir().mkpath(folder);
    const QByteArray templates[] = {templateFile(folder, 1), templateFile(folder, 2),
                                    templateFile(folder, 3)};
    QRandomGenerator random(7);
    for (int i = 0; i < n; ++i) {
        const QDateTime when =
            QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(random.bounded(5 * 365 * 24 * 3600));
        const QTime t = when.time();
        const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        QByteArray bytes = templates[i % 3];
        bytes = between(bytes, "date",
                        QString::asprintf("%d/%d/%d", when.date().month(), when.date().day(),
                                          when.date().year())
                            .toLatin1());
        bytes = between(bytes, "time",
                        QString::asprintf("%d:%02d:%02d %s", hour12, t.minute(), t.second(),
                                          t.hour() < 12 ? "AM" : "PM")
                            .toLatin1());
        bytes.replace("@TEST@", "Luciferase " + QByteArray::number(i % 17));
        bytes.replace("@OPERATOR@", "Operator " + QByteArray::number(i % 5));
        bytes.replace("@PLATE@", QByteArray::number(i));
        if (i % 50 == 49) bytes.replace("</operator>", "</operater>");
        QFile f(QDir(folder).filePath(QString::asprintf("run-%05d.ovd", i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
    }
}

// Processor time (user + system) of the finished child processes so far, in milliseconds; 0
// where the platform does not tell. On a shared machine the wall time also holds the waits
// for a free core, so both are shown.
double childCpu_ms() {
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#else
    return 0;
#endif
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double wall_ms = 0;
    double cpu_ms = 0;
};

// Median wall-clock and processor times of `vantorix-cli list folder`.
Timing timeListing(const QString& folder, int expectedLines) {
    std::vector<double> walls, cpus;
    for (int run = 0; run < kRuns; ++run) {
        QProcess cli;
        const double cpuBefore = childCpu_ms();
        QElapsedTimer clock;
        clock.start();
        cli.start(QStringLiteral(VANTORIX_CLI_PATH), {QStringLiteral("list"), folder});
        if (!cli.waitForFinished(120000) || cli.exitCode() != 0) std::abort();
        walls.push_back(clock.nsecsElapsed() / 1e6);
        if (cli.readAllStandardOutput().count('\n') != expectedLines) std::abort();
        cpus.push_back(childCpu_ms() - cpuBefore);
    }
    return {median(walls), median(cpus)};
}

// Milliseconds from asking the browser's list for a refresh until its rows are rebuilt, its
// slices running on the event loop as in the desktop program.
double timeRebuild(FolderListing& listing, size_t expectedRows) {
    QEventLoop loop;
    const auto done = QObject::connect(&listing, &FolderListing::rebuilt, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    listing.RefreshFileList();
    if (listing.rebuilding()) loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(done);
    if (listing.rows().size() != expectedRows) std::abort();
    return ms;
}

struct BrowserTiming {
    double first_ms = 0;
    double reopen_ms = 0;
    double check_ms = 0;  // a refresh that finds the folder unchanged
};

BrowserTiming timeBrowserList(const QString& folder, size_t expectedRows) {
    QtScheduler scheduler;
    std::vector<double> first, reopen, check;
    for (int run = 0; run < kRuns; ++run) {
        FolderListing listing(scheduler, [&] { return folder; });
        first.push_back(timeRebuild(listing, expectedRows));
        QElapsedTimer clock;
        clock.start();
        listing.RefreshFileList();
        check.push_back(clock.nsecsElapsed() / 1e6);
        if (listing.rebuilding()) std::abort();
        // The browser forgets its list when a file is opened from it.
        listing.forgetList();
        reopen.push_back(timeRebuild(listing, expectedRows));
    }
    return {median(first), median(reopen), median(check)};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    QString keep;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--keep" && i + 1 < args.size())
            keep = args[++i];
        else
            sizes << args[i].toInt();
    }
    if (sizes.isEmpty()) sizes = {10000, 20000};
    QTemporaryDir temporary;
    const QDir dir(keep.isEmpty() ? temporary.path() : keep);
    double first = 0;
    for (int n : sizes) {
        const QString folder = dir.filePath(QString::number(n));
        makeFolder(folder, n);
        const Timing t = timeListing(folder, n - n / 50);
        std::printf("vantorix-cli list, %6d files: %8.1f ms wall, %8.1f ms cpu (median of %d)", n,
                    t.wall_ms, t.cpu_ms, kRuns);
        if (first > 0) std::printf(", %.2f times the first", t.wall_ms / first);
        std::printf("\n");
        if (first == 0) first = t.wall_ms;
        const BrowserTiming b = timeBrowserList(folder, n - n / 50);
        std::printf(
            "browser list,      %6d files: first %8.1f ms, reopen after Open %6.1f ms, "
            "unchanged check %6.1f ms (medians of %d)\n",
            n, b.first_ms, b.reopen_ms, b.check_ms, kRuns);
    }
    return 0;
}
