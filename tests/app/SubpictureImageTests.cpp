// A picture subtitle made a DVD subpicture: at most three opaque colours besides
// transparent, the fill and outline still told apart, placed and scaled in the title's
// frame (and in the letterboxed band of a 16:9 title on a 4:3 set).
#include "app/SubpictureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

namespace discforge {
namespace {

// A `width` x `height` picture at (x, y): an outline of `band` pixels in `outline`
// around a fill in `fill`, with a soft edge of half cover between them.
SubtitlePicture Boxed(int x, int y, int width, int height, int band, std::array<std::uint8_t, 4> fill,
    std::array<std::uint8_t, 4> outline)
{
    SubtitlePicture picture;
    picture.x = x;
    picture.y = y;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const bool inner = row >= band && row < height - band && column >= band && column < width - band;
            const std::array<std::uint8_t, 4>& colour = inner ? fill : outline;
            std::copy(colour.begin(), colour.end(), picture.rgba.begin() + (row * width + column) * 4);
        }
    }
    return picture;
}

std::set<QRgb> Colours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

int Luma(QRgb colour) { return (qRed(colour) * 299 + qGreen(colour) * 587 + qBlue(colour) * 114) / 1000; }

TEST(SubpictureImage, ADvdSubpictureInItsOwnFrameStaysAsItIs)
{
    SubtitlePicture picture = Boxed(100, 400, 50, 20, 3, {250, 250, 40, 255}, {10, 10, 10, 255});
    // A faint shadow on the last row, below half cover, which no subpicture can show.
    for (int column = 0; column < 50; ++column) {
        picture.rgba[static_cast<std::size_t>((19 * 50 + column) * 4 + 3)] = 90;
    }
    const Subpicture made = MakeSubpicture(picture, {720, 576, 720, 576, false});
    ASSERT_FALSE(made.image.isNull());
    EXPECT_EQ(made.x, 100);
    EXPECT_EQ(made.y, 400);
    EXPECT_EQ(made.image.width(), 50);
    EXPECT_EQ(made.image.height(), 20);
    EXPECT_EQ(made.image.pixel(25, 10), qRgba(250, 250, 40, 255));
    EXPECT_EQ(made.image.pixel(1, 1), qRgba(10, 10, 10, 255));
    EXPECT_EQ(qAlpha(made.image.pixel(25, 19)), 0);
}

TEST(SubpictureImage, ManyColoursBecomeThreeThatKeepFillAndOutlineApart)
{
    // A full-HD PGS picture with a graded fill: dozens of colours before scaling.
    SubtitlePicture picture = Boxed(600, 900, 400, 80, 6, {255, 255, 255, 255}, {0, 0, 0, 255});
    for (int column = 6; column < 394; ++column) {
        const auto grey = static_cast<std::uint8_t>(200 + column % 56);
        for (int row = 6; row < 74; ++row) {
            std::uint8_t* pixel = picture.rgba.data() + (row * 400 + column) * 4;
            pixel[0] = pixel[1] = pixel[2] = grey;
        }
    }
    const Subpicture made = MakeSubpicture(picture, {1920, 1080, 720, 576, false});
    ASSERT_FALSE(made.image.isNull());
    const std::set<QRgb> colours = Colours(made.image);
    EXPECT_LE(colours.size(), 3u) << "the picture covers its whole box: no transparent pixel";
    for (const QRgb colour : colours) {
        EXPECT_TRUE(qAlpha(colour) == 0 || qAlpha(colour) == 255) << std::hex << colour;
    }
    // 600 * 720 / 1920 = 225, 900 * 576 / 1080 = 480, 400 * 0.375 = 150, 80 * 0.5333 = 43
    EXPECT_EQ(made.x, 225);
    EXPECT_EQ(made.y, 480);
    EXPECT_EQ(made.image.width(), 150);
    EXPECT_EQ(made.image.height(), 43);
    const QRgb fill = made.image.pixel(75, 20);
    const QRgb outline = made.image.pixel(75, 0);
    EXPECT_GT(Luma(fill), 190);
    EXPECT_LT(Luma(outline), 40);
}

TEST(SubpictureImage, ALetterboxedTitleGetsItsPictureInTheMiddleThreeQuarters)
{
    const SubtitlePicture picture = Boxed(100, 480, 200, 40, 2, {255, 255, 255, 255}, {0, 0, 0, 255});
    const Subpicture made = MakeSubpicture(picture, {720, 576, 720, 576, true});
    ASSERT_FALSE(made.image.isNull());
    EXPECT_EQ(made.x, 100);
    EXPECT_EQ(made.y, 72 + 360); // 576 / 8 above, 480 * 3 / 4
    EXPECT_EQ(made.image.width(), 200);
    EXPECT_EQ(made.image.height(), 30);
}

TEST(SubpictureImage, APictureBeyondTheFrameIsCutAndOneWhollyOutsideGivesNothing)
{
    const SubtitlePicture wide = Boxed(1420, 500, 60, 20, 2, {255, 255, 255, 255}, {0, 0, 0, 255});
    const Subpicture cut = MakeSubpicture(wide, {1440, 576, 720, 576, false});
    ASSERT_FALSE(cut.image.isNull());
    EXPECT_EQ(cut.x, 710);
    EXPECT_EQ(cut.image.width(), 10);

    SubtitlePicture broken = wide;
    broken.rgba.pop_back();
    EXPECT_TRUE(MakeSubpicture(broken, {720, 576, 720, 576, false}).image.isNull());
    const SubtitlePicture outside = Boxed(800, 500, 60, 20, 2, {255, 255, 255, 255}, {0, 0, 0, 255});
    EXPECT_TRUE(MakeSubpicture(outside, {800, 576, 720, 576, false}).image.isNull());
}

} // namespace
} // namespace discforge
