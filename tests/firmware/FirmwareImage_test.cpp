// The image as blocks: numbering, padding of the last block, images that end on a block.
#include "firmware/FirmwareImage.h"

#include <gtest/gtest.h>

#include "FirmwareTestSupport.h"
#include "firmware/Xmodem.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(FirmwareImage, BlocksArePaddedOnlyWhereTheImageEndsShort) {
    struct Case {
        qsizetype length;
        int blocks;
        qsizetype lastPadding;
    };
    const Case cases[] = {{1, 1, 127}, {128, 1, 0}, {129, 2, 127}, {256, 2, 0}, {1000, 8, 24}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const QByteArray image = imageBytes(c.length);
        FirmwareImage reader;
        ASSERT_TRUE(reader.OpenFirmwareImage(writeImage(dir, image)));
        EXPECT_EQ(reader.imageLength(), c.length);
        QByteArray all = reader.block();
        int blocks = 1;
        while (reader.ReadNextBlock()) {
            all += reader.block();
            ++blocks;
        }
        EXPECT_FALSE(reader.failed());
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(all, padded(image));
        EXPECT_EQ(reader.block().right(c.lastPadding), QByteArray(c.lastPadding, char(26)));
        if (c.lastPadding == 0) {
            EXPECT_NE(reader.block().back(), char(26));
        }
    }
}

TEST(Xmodem, ABlockCarriesItsNumberComplementDataAndSum) {
    const QByteArray data = imageBytes(128);
    const QByteArray b = xmodem::block(200, data);
    ASSERT_EQ(b.size(), 132);
    EXPECT_EQ(b[0], char(1));
    EXPECT_EQ(quint8(b[1]), 200);
    EXPECT_EQ(quint8(b[2]), 55);
    EXPECT_EQ(b.mid(3, 128), data);
    int sum = 0;
    for (char c : data) sum += quint8(c);
    EXPECT_EQ(quint8(b[131]), sum % 256);
    EXPECT_EQ(xmodem::end(), QByteArray("\x04\x04\r\n"));
}
