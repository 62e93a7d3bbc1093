// A timed picture laid over a frame: its premultiplied pixels cover the frame by their
// alpha, at its place counted from the frame's top left, and only where the two overlap.
#include "picture/PictureBlend.h"
#include "picture/TFullDib.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

// Makes `frame` one of a single blue, green, red colour.
void Fill(TFullDib& frame, int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    ASSERT_TRUE(frame.CreateBlank(width, height));
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = frame.Row(r) + x * 4;
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    }
}

// Pixel (x, y) counted from the top left.
const std::uint8_t* At(const TFullDib& frame, int x, int y) { return frame.Row(frame.Height() - 1 - y) + x * 4; }

TimedPicture Square(int x, int y, int side, std::uint8_t value, std::uint8_t alpha)
{
    TimedPicture picture{0, 1000, x, y, side, side, {}};
    for (int i = 0; i < side * side; ++i) {
        picture.pixels.insert(picture.pixels.end(), {value, value, value, alpha});
    }
    return picture;
}

TEST(PictureBlendTest, OpaquePixelsReplaceTheFrameAndHalfCoveredOnesMixWithIt)
{
    TFullDib frame;
    Fill(frame, 8, 6, 40, 80, 120);
    TimedPicture picture = Square(2, 1, 2, 255, 255);
    // The second row: white at half cover, premultiplied to 128.
    for (int i = 8; i < 16; ++i) {
        picture.pixels[static_cast<std::size_t>(i)] = 128;
    }
    ASSERT_TRUE(BlendPicture(frame, picture));
    EXPECT_EQ(At(frame, 2, 1)[0], 255);
    EXPECT_EQ(At(frame, 3, 1)[2], 255);
    // 128 + 40 x 127 / 255, and so on for green and red.
    EXPECT_EQ(At(frame, 2, 2)[0], 148);
    EXPECT_EQ(At(frame, 2, 2)[1], 168);
    EXPECT_EQ(At(frame, 2, 2)[2], 188);
    // Outside the picture the frame is as it was, the top row too.
    EXPECT_EQ(At(frame, 1, 1)[0], 40);
    EXPECT_EQ(At(frame, 4, 1)[0], 40);
    EXPECT_EQ(At(frame, 2, 0)[0], 40);
    EXPECT_EQ(At(frame, 2, 3)[2], 120);
}

TEST(PictureBlendTest, TransparentPixelsLeaveTheFrame)
{
    TFullDib frame;
    Fill(frame, 4, 4, 10, 20, 30);
    ASSERT_TRUE(BlendPicture(frame, Square(0, 0, 4, 0, 0)));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(At(frame, x, y)[1], 20) << x << "," << y;
        }
    }
}

TEST(PictureBlendTest, APictureOverTheEdgesIsCutAndOneOutsideChangesNothing)
{
    TFullDib frame;
    Fill(frame, 4, 4, 0, 0, 0);
    ASSERT_TRUE(BlendPicture(frame, Square(-1, 2, 3, 200, 255)));
    EXPECT_EQ(At(frame, 0, 2)[0], 200);
    EXPECT_EQ(At(frame, 1, 3)[0], 200);
    EXPECT_EQ(At(frame, 2, 3)[0], 0);
    EXPECT_EQ(At(frame, 0, 1)[0], 0);
    for (const TimedPicture& outside : {Square(4, 0, 2, 200, 255), Square(0, -2, 2, 200, 255),
             Square(2147483000, 2147483000, 2, 200, 255), Square(-2147483000, 0, 2, 200, 255)}) {
        EXPECT_TRUE(BlendPicture(frame, outside));
    }
    EXPECT_EQ(At(frame, 3, 0)[0], 0);
    EXPECT_EQ(At(frame, 0, 0)[0], 0);
}

TEST(PictureBlendTest, PixelsThatDoNotHoldThePictureOrAFrameNotOf32BitsAreRefused)
{
    TFullDib frame;
    Fill(frame, 4, 4, 0, 0, 0);
    TimedPicture shortPicture = Square(0, 0, 2, 255, 255);
    shortPicture.pixels.pop_back();
    EXPECT_FALSE(BlendPicture(frame, shortPicture));
    TimedPicture tooTall = Square(0, 0, 2, 255, 255);
    tooTall.height = 3;
    EXPECT_FALSE(BlendPicture(frame, tooTall));
    EXPECT_EQ(At(frame, 0, 0)[0], 0);
    TFullDib empty;
    EXPECT_FALSE(BlendPicture(empty, Square(0, 0, 2, 255, 255)));
}

} // namespace
} // namespace discforge
