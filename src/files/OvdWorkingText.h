// The reading step of the data-file parser: the file's lines, each stripped of surrounding
// spaces, joined into one text that the tag scanner walks.
#pragma once

#include <QString>
#include <QStringView>

namespace vantorix {

// Lines end at CR or CR LF; a bare LF stays inside its line, so an LF-only file is one line.
// Reading stops after a line that is exactly "<data-io>" and, when headerOnly, after the first
// line that contains "<set-" (both lines are kept).
QString ovdWorkingText(QStringView fileText, bool headerOnly);

}  // namespace vantorix
