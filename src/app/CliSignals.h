// SIGINT, SIGTERM and SIGHUP all cancel a command-line run the way Ctrl+C does: closing the
// terminal, `timeout` or a service stop then still save the completed datasets.
#pragma once

#include <functional>

class QObject;

namespace vantorix::cli {

// Calls onSignal from the event loop (never from the signal handler) for each of the three
// signals; parent owns the notifier.
void onCancelSignals(QObject* parent, std::function<void()> onSignal);

}  // namespace vantorix::cli
