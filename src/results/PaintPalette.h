// The heat map's colours: a blue-violet to yellow ramp whose lightness rises evenly (it is
// laid out in the OKLab colour space), so equal steps in value look like equal steps in
// colour, it reads the same to the common forms of colour blindness and still orders
// correctly when printed in grey.
#pragma once

#include <QColor>

namespace vantorix {

// Colour at position t, 0 (dark blue-violet) to 1 (light yellow); t is clamped.
QColor heatColour(double t);

// The colour of the index-th followed well: a qualitative palette of eight (blue, vermilion,
// bluish green, reddish purple, orange, sky blue, black, yellow) that the common forms of colour
// blindness still tell apart; from the ninth well on the colours repeat.
QColor seriesColour(int index);

// OKLab lightness of an sRGB colour, 0 (black) to 1 (white).
double oklabLightness(const QColor& colour);

// WCAG contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on `background`.
QColor textColourOn(const QColor& background);

}  // namespace vantorix
