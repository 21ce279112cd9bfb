// The "--set N" option of the commands that read one set of a data file.
#pragma once

#include <QStringList>

namespace vantorix::cli {

// Reads the number after args[i] ("--set") into set and moves i onto it. Empty when it is a set
// number a document can hold, else "COMMAND: --set needs a set number from 1 to 255".
QString readSetOption(const QString& command, const QStringList& args, qsizetype& i, int& set);

}  // namespace vantorix::cli
