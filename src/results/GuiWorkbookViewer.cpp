#include "results/GuiWorkbookViewer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vantorix {

namespace {
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
QString opener() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}
#endif
}  // namespace

DesktopWorkbookViewer::DesktopWorkbookViewer(QObject* owner,
                                             std::function<void(const QString&)> failed)
    : owner_(owner), failed_(std::move(failed)) {}

bool DesktopWorkbookViewer::available() const {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return !opener().isEmpty();
#endif
}

bool DesktopWorkbookViewer::open(const QString& path) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#else
    // xdg-open exits 3 or 4 when no program takes the file; it may also keep running as long
    // as the program it started, so its end is awaited without blocking the window.
    auto* process = new QProcess(owner_);
    process->setProgram(opener());
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const auto fail = [failed = failed_, path] {
        if (failed) failed(path);
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, fail](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) fail();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, fail](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         fail();
                         process->deleteLater();
                     });
    process->start();
    return true;
#endif
}

}  // namespace vantorix
