// Fonts of the drawn pictures and pages. Text is laid out without shaping, so no ligatures join
// its letters and the words in a PDF stay searchable.
#pragma once

#include <QFont>

namespace vantorix {

// A font of a whole number of pixels, at least 1, for pictures sized in pixels.
QFont pixelFont(double pixels, bool bold = false);
// A font of a size in points, for printed pages.
QFont pointFont(double points, bool bold = false);

}  // namespace vantorix
