// Signals that stop the command-line tool cleanly: SIGINT, SIGTERM and SIGHUP all cancel a run
// the way Ctrl+C does, so closing the terminal, `timeout` or a service stop still save the
// completed datasets. Watching them needs a POSIX system (CliSignals.cpp); elsewhere
// (CliSignalsPortable.cpp) nothing is watched and Ctrl+C ends the tool as the platform does.
#pragma once

#include <functional>

class QObject;

namespace vantorix::cli {

enum class StopSignals {
    Interrupt,                 // Ctrl+C
    InterruptTerminate,        // and a plain `kill`
    InterruptTerminateHangUp,  // and a closed terminal
};

// Calls handler from the event loop (never from the signal handler) for each of the signals;
// parent owns the notifier. False when the signals cannot be watched.
bool onSignals(QObject* parent, StopSignals which, std::function<void()> handler);

// The three signals that cancel a run.
inline void onCancelSignals(QObject* parent, std::function<void()> handler) {
    onSignals(parent, StopSignals::InterruptTerminateHangUp, std::move(handler));
}

}  // namespace vantorix::cli
