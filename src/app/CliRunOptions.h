// The options of `vantorix-cli run`: what to measure, over the run defaults the desktop program
// stored. Numbers are checked by the rules of the options dialog, so the tool accepts exactly
// what the dialog accepts; nothing given here is ever written back to the settings.
#pragma once

#include <QString>
#include <QStringList>

#include "kernel/RunOptions.h"

namespace vantorix::cli {

struct RunArgs {
    QString port, out, operatorName, test, plate, notes;
    int retry = 0;
    bool keepPartial = false;  // keep the readings of a dataset the run did not finish
    bool force = false;        // replace an existing --out file, or write through a link
    RunOptions options;        // the stored defaults with the command line's changes
};

constexpr int kMaxRetries = 99;

// Reads the arguments over `stored`. Empty text when they are good, else what is wrong,
// naming the option and the values it accepts.
QString parseRunArgs(const QStringList& args, const RunOptions& stored, RunArgs& out);

// The option lines of the usage text.
extern const char* const kRunOptionsUsage;

}  // namespace vantorix::cli
