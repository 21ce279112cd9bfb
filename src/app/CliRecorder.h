// What vantorix-cli leaves in the history: every data file a command writes or opens, and every
// event. The history is opened on first use (the settings name it); a history that cannot be
// written never changes a command's outcome, and is told once, in one line on stderr.
#pragma once

#include <functional>

#include "measurement/RunHistory.h"

namespace vantorix::cli {

// Calls `what` with the history, then prints what the history has to tell, once.
void recordHistory(const std::function<void(RunHistory&)>& what);

}  // namespace vantorix::cli
