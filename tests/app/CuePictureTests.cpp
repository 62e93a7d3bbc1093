// A subtitle cue drawn for the picture: white letters with a black outline, centred in
// the lower part of the title-safe area, as high on every disc's frame as spumux draws
// a DVD's, and shown for its cue's time only.
#include "app/CuePicture.h"
#include "app/MenuPicture.h"
#include "app/TextCueTrack.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace discforge::test {
namespace {

struct Coverage {
    int white = 0; // bright over any picture
    int black = 0; // opaque, dark
    int top = 1 << 30, bottom = -1; // rows with white pixels, in the frame
};

Coverage Cover(const TimedPicture& picture)
{
    Coverage coverage;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* pixel = &picture.pixels[static_cast<std::size_t>(y * picture.width + x) * 4];
            // Premultiplied: over a picture a pixel is at least its own value.
            if (pixel[0] > 160 && pixel[1] > 160 && pixel[2] > 160) {
                ++coverage.white;
                coverage.top = std::min(coverage.top, picture.y + y);
                coverage.bottom = std::max(coverage.bottom, picture.y + y);
            } else if (pixel[3] == 255 && pixel[0] < 16) {
                ++coverage.black;
            }
            // Premultiplied: no colour above its alpha.
            EXPECT_LE(pixel[0], pixel[3]);
        }
    }
    return coverage;
}

class CuePicture : public ::testing::Test {
protected:
    const MenuPainting painting_;
};

TEST_F(CuePicture, TheTextLiesLowInTheSafeAreaWithAnOutlineOnEveryDiscFrame)
{
    ASSERT_TRUE(painting_.Ready());
    const SubtitleCue cue{1000, 2000, "Hello there"};
    int svcdWidth = 0;
    int dvdWidth = 0;
    for (const auto& [width, height] :
        {std::pair{352, 288}, std::pair{480, 576}, std::pair{720, 576}, std::pair{720, 480}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const TimedPicture picture = PaintCue(cue, width, height, painting_.Family());
        EXPECT_EQ(picture.startMs, 1000);
        EXPECT_EQ(picture.endMs, 2000);
        ASSERT_GT(picture.width, 0);
        ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.width * picture.height * 4));
        EXPECT_GE(picture.x, width / 20);
        EXPECT_LE(picture.x + picture.width, width - width / 20);
        EXPECT_LE(picture.y + picture.height, height - height / 20);
        EXPECT_GT(picture.y, height / 2);
        // Centred.
        EXPECT_NEAR(picture.x + picture.width / 2.0, width / 2.0, 2.0);
        const Coverage coverage = Cover(picture);
        EXPECT_GT(coverage.white, 50);
        EXPECT_GT(coverage.black, coverage.white / 3);
        // "H" and "l" stand about 0.73 of the font's size of a twentieth.
        EXPECT_GE(coverage.bottom - coverage.top + 1, height / 20 * 2 / 3);
        if (height == 576 && width == 480) {
            svcdWidth = picture.width;
        } else if (height == 576) {
            dvdWidth = picture.width;
        }
    }
    // As wide on the TV: an SVCD's pixels are half again as wide as a DVD's.
    EXPECT_NEAR(svcdWidth * 1.5, dvdWidth, 6.0);
}

TEST_F(CuePicture, LongLinesAreBrokenInsideTheSafeAreaAndEmptyTextGivesNoPicture)
{
    ASSERT_TRUE(painting_.Ready());
    const SubtitleCue oneLine{0, 1000, "Short and plain"};
    const SubtitleCue longLine{0, 1000, "A rather long subtitle line that cannot stand on one line of the picture"};
    const TimedPicture shortPicture = PaintCue(oneLine, 720, 576, painting_.Family());
    const TimedPicture longPicture = PaintCue(longLine, 720, 576, painting_.Family());
    EXPECT_GE(longPicture.x, 36);
    EXPECT_LE(longPicture.x + longPicture.width, 684);
    EXPECT_GT(longPicture.height, shortPicture.height * 3 / 2) << "two lines";
    EXPECT_EQ(longPicture.y + longPicture.height, shortPicture.y + shortPicture.height) << "the same last line";
    EXPECT_TRUE(PaintCue({0, 1000, ""}, 720, 576, painting_.Family()).pixels.empty());
    EXPECT_TRUE(PaintCue({0, 1000, "Text"}, 0, 576, painting_.Family()).pixels.empty());
}

TEST_F(CuePicture, ATrackShowsEachCueFromItsStartUntilItsEnd)
{
    ASSERT_TRUE(painting_.Ready());
    TextCueTrack track(
        {{1000, 2000, "One"}, {2000, 2500, "Two two"}, {4000, 5000, "Three"}}, 480, 576, painting_.Family());
    for (const std::int64_t ms : {0, 999, 2500, 3999, 5000, 90000}) {
        EXPECT_EQ(track.PictureAt(ms), nullptr) << ms;
    }
    const TimedPicture* one = track.PictureAt(1000);
    ASSERT_NE(one, nullptr);
    const int oneWidth = one->width;
    EXPECT_EQ(track.PictureAt(1999)->width, oneWidth);
    const TimedPicture* two = track.PictureAt(2000);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->startMs, 2000);
    EXPECT_GT(two->width, oneWidth);
    ASSERT_NE(track.PictureAt(4500), nullptr);
    EXPECT_EQ(track.PictureAt(4500)->endMs, 5000);
    // Back again, as a preview moved to an earlier frame asks.
    ASSERT_NE(track.PictureAt(1500), nullptr);
    EXPECT_EQ(track.PictureAt(1500)->width, oneWidth);
}

} // namespace
} // namespace discforge::test
