// Files the command line writes on request: one that exists already (a previous run's data?)
// or a symbolic link is never replaced unless --force is given.
#pragma once

#include <QString>

namespace vantorix::cli {

// Empty when path may be written, else the message for the user (bad usage, exit 2).
QString refuseToReplace(const QString& path, bool force);

}  // namespace vantorix::cli
