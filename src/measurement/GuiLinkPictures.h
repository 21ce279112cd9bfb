// The pictures of the link monitor, painted in code so they stay sharp at any screen scale:
// seven frames of a pulsing green light (a sweep 1..5 and back shows it breathing) and two
// frames of a blinking question mark for a quiet line. No frame is ever blank.
#pragma once

#include <QPixmap>

namespace vantorix {

constexpr int kComOkFrameCount = 7;
constexpr int kComQuestionFrameCount = 2;
// Edge of a picture in device-independent pixels.
constexpr int kLinkPictureSize = 28;

// frame 0-6; anything else is clamped.
QPixmap comOkPicture(int frame, qreal devicePixelRatio = 1.0);
// frame 0-1; anything else is clamped.
QPixmap comQuestionPicture(int frame, qreal devicePixelRatio = 1.0);

}  // namespace vantorix
