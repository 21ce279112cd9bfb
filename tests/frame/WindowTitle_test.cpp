// The frame's title as the window system shows it: the desktop program runs with its simulated
// instrument on a virtual X server, and xdotool reads the title of its window back.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "support/TestSupport.h"

namespace {

// Run by sh under xvfb-run with the program as $0: prints the name of its first visible window.
const char* const kReadTitle = R"(
"$0" --simulate & pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
xdotool getwindowname "$window"
status=$?
kill "$pid"
wait "$pid" 2>/dev/null
exit $status
)";

}  // namespace

TEST(WindowTitle, TheFrameShowsExactlyItsCaptionOnAnXServer) {
#ifndef VANTORIX_PATH
    GTEST_SKIP() << "the desktop program is not built";
#else
    for (const char* tool : {"xvfb-run", "xdotool", "timeout"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    QProcess x;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    x.setProcessEnvironment(env);
    x.start(QStringLiteral("xvfb-run"),
            {"-a", "sh", "-c", QLatin1String(kReadTitle), QStringLiteral(VANTORIX_PATH)});
    ASSERT_TRUE(x.waitForFinished(60000));
    EXPECT_EQ(x.exitCode(), 0) << x.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(x.readAllStandardOutput()).trimmed().toStdString(),
              "The Vantorix (tm) by Orvexa Labs - Version 2.1.0");
#endif
}
