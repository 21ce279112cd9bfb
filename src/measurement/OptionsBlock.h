// The options block that configures one dataset: 108 lines, "{", one line per well, eight
// flash parameters, the reaction type, extra sensitivity, "}".
#pragma once

#include <QStringList>

#include "kernel/RunOptions.h"

namespace vantorix {

// The eight parameter lines: the flash configuration for a flash reaction, else eight "0".
QStringList flashParameterLines(const RunOptions& o);

}  // namespace vantorix
