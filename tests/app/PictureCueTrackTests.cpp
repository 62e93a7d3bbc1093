// A picture subtitle drawn into the output: placed and scaled from the frame its track
// was made for to the output's frame, in premultiplied blue, green, red, alpha, and
// shown for its event's time only.
#include "app/PictureCueTrack.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

// A width x height picture of one straight-alpha RGBA colour.
SubtitlePicture Filled(int x, int y, int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
    std::uint8_t alpha, std::int64_t startMs, std::int64_t endMs)
{
    SubtitlePicture picture;
    picture.startMs = startMs;
    picture.endMs = endMs;
    picture.x = x;
    picture.y = y;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < width * height; ++i) {
        picture.rgba.insert(picture.rgba.end(), {red, green, blue, alpha});
    }
    return picture;
}

const std::uint8_t* PixelAt(const TimedPicture& picture, int x, int y)
{
    return &picture.pixels[static_cast<std::size_t>((y * picture.width + x) * 4)];
}

TEST(PictureCueTrack, APictureIsScaledToTheOutputFrameInTheBurnersByteOrder)
{
    // A Blu-ray's 1920 x 1080 picture over an SVCD's 480 x 576 frame: a quarter as wide,
    // 8/15 as high.
    const TimedPicture half
        = ScaledSubtitlePicture(Filled(960, 810, 400, 150, 255, 128, 0, 255, 0, 1), 1920, 1080, 480, 576);
    EXPECT_EQ(half.x, 240);
    EXPECT_EQ(half.y, 432);
    EXPECT_EQ(half.width, 100);
    EXPECT_EQ(half.height, 80);
    ASSERT_EQ(half.pixels.size(), 100u * 80 * 4);
    const std::uint8_t* middle = PixelAt(half, 50, 40);
    EXPECT_EQ(middle[0], 0); // blue
    EXPECT_NEAR(middle[1], 128, 1); // green
    EXPECT_EQ(middle[2], 255); // red
    EXPECT_EQ(middle[3], 255);

    // Half cover: each colour already scaled by its alpha.
    const TimedPicture faint = ScaledSubtitlePicture(Filled(10, 20, 8, 8, 200, 100, 40, 128, 0, 1), 720, 576, 720, 576);
    EXPECT_EQ(faint.x, 10);
    EXPECT_EQ(faint.y, 20);
    const std::uint8_t* pixel = PixelAt(faint, 4, 4);
    EXPECT_NEAR(pixel[0], 40 * 128 / 255, 1);
    EXPECT_NEAR(pixel[1], 100 * 128 / 255, 1);
    EXPECT_NEAR(pixel[2], 200 * 128 / 255, 1);
    EXPECT_EQ(pixel[3], 128);

    // Pixels that do not match the size give nothing rather than a read past them.
    SubtitlePicture cut = Filled(0, 0, 8, 8, 255, 255, 255, 255, 0, 1);
    cut.rgba.resize(10);
    EXPECT_TRUE(ScaledSubtitlePicture(cut, 720, 576, 720, 576).pixels.empty());
}

TEST(PictureCueTrack, EachPictureIsShownDuringItsEventOnly)
{
    PictureSubtitles subtitles;
    subtitles.frameWidth = 720;
    subtitles.frameHeight = 576;
    subtitles.pictures.push_back(Filled(100, 500, 20, 10, 255, 255, 255, 255, 1000, 2000));
    subtitles.pictures.push_back(Filled(300, 500, 20, 10, 255, 255, 255, 255, 2500, 3000));
    PictureCueTrack track(subtitles, 720, 576);
    EXPECT_EQ(track.PictureAt(999), nullptr);
    const TimedPicture* first = track.PictureAt(1000);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x, 100);
    EXPECT_EQ(track.PictureAt(2000), nullptr);
    const TimedPicture* second = track.PictureAt(2999);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, 300);
    EXPECT_EQ(track.PictureAt(3000), nullptr);
    // Asked for out of order, the earlier one comes back.
    ASSERT_NE(track.PictureAt(1500), nullptr);
    EXPECT_EQ(track.PictureAt(1500)->x, 100);
}

} // namespace
} // namespace discforge::test
