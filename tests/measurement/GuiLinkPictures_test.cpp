#include "measurement/GuiLinkPictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <set>

namespace vantorix {
namespace {

int paintedPixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

// Every frame shows something, and the frames differ, so the sweep and the blink are seen.
TEST(GuiLinkPictures, EveryFrameIsPaintedAndDistinct) {
    for (qreal dpr : {1.0, 2.0}) {
        std::set<qint64> keys;
        std::vector<QImage> images;
        for (int f = 0; f < kComOkFrameCount; ++f) images.push_back(comOkPicture(f, dpr).toImage());
        for (int f = 0; f < kComQuestionFrameCount; ++f)
            images.push_back(comQuestionPicture(f, dpr).toImage());
        for (size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(images[i].width(), qRound(kLinkPictureSize * dpr));
            EXPECT_GT(paintedPixels(QPixmap::fromImage(images[i])), 40);
            for (size_t j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << j;
        }
    }
}

TEST(GuiLinkPictures, FramesOutsideTheRangeAreClamped) {
    EXPECT_EQ(comOkPicture(-3).toImage(), comOkPicture(0).toImage());
    EXPECT_EQ(comOkPicture(99).toImage(), comOkPicture(6).toImage());
    EXPECT_EQ(comQuestionPicture(5).toImage(), comQuestionPicture(1).toImage());
}

}  // namespace
}  // namespace vantorix
