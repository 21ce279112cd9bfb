// Speed of File > Open on a folder of data files (default 10,000), as the user sees it: the
// first showing until the whole list is in the grid, and a reopen after Open (the list comes
// from the header cache; the folder was forgotten, as Open does). Medians of five.
// Targets: first listing under 1 s, reopen under 100 ms.
//
//   bench_gui_file_browser [N]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "files/OvdWriter.h"
#include "files/PlateFile.h"
#include "files/frmOpenFile.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "ui/GuiDialogs.h"

using namespace vantorix;

namespace {

// n copies of one written one-set document, each under its own name.
void writeFolder(const QString& folder, int n) {
    PlateDocument d;
    const QString first = QDir(folder).filePath(QStringLiteral("plate-00000.ovd"));
    d.header.operatorName = QStringLiteral("Ann");
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 12; ++c) d.dataset(1).at(r - 1, c - 1) = {r * c, 1, WellStatus::Read};
    if (!writePlateFile(runDocument(d, d.options, 1, 1), first, QDateTime::currentDateTime()).ok)
        std::abort();
    for (int i = 1; i < n; ++i)
        if (!QFile::copy(first, QDir(folder).filePath(
                                    QStringLiteral("plate-%1.ovd").arg(i, 5, 10, QChar('0')))))
            std::abort();
}

// Shows the dialog and returns the milliseconds until its grid lists n files.
double showUntilListed(frmOpenFile& dialog, int n) {
    QElapsedTimer clock;
    clock.start();
    dialog.show();
    auto* grid = dialog.findChild<QTableWidget*>(QStringLiteral("grdOVDList"));
    while (grid->rowCount() != n || dialog.rebuilding()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (clock.elapsed() > 60'000) std::abort();
    }
    return clock.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 10'000;
    QTemporaryDir dir;
    writeFolder(dir.path(), n);
    std::vector<double> first, reopen;
    for (int run = 0; run < 5; ++run) {
        DataFolders folders{dir.path(), {}};
        QtScheduler scheduler;
        QtDialogs dialogs;
        frmOpenFile dialog(folders, dialogs, scheduler, [](const QString&) {});
        first.push_back(showUntilListed(dialog, n));
        dialog.hide();  // what Open does after loading the file
        dialog.forgetList();
        reopen.push_back(showUntilListed(dialog, n));
    }
    std::printf("%d files: first listing %.1f ms, reopen after Open %.1f ms (medians of 5)\n", n,
                median(first), median(reopen));
    return 0;
}
