// Where there are no POSIX signals to watch: nothing is installed, and Ctrl+C ends the tool
// at once as the platform does (a run's journal still keeps every reading).
#include "app/CliSignals.h"

namespace vantorix::cli {

bool onSignals(QObject*, StopSignals, std::function<void()>) {
    return false;
}

}  // namespace vantorix::cli
