// A JPEG read for a user who needs less than its full size: the transform's
// smallest scale whose output is at least that size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PictureFiles.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

// 1600 x 1200: blue on the left half, yellow on the right, a white square of
// 400 in the top-left corner.
Bytes HalvesWithACorner()
{
    constexpr int width = 1600;
    constexpr int height = 1200;
    Bytes pixels(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            const bool corner = x < 400 && y < 400;
            p[0] = corner || x >= width / 2 ? 255 : 0;
            p[1] = corner || x >= width / 2 ? 255 : 0;
            p[2] = corner || x < width / 2 ? 255 : 0;
        }
    }
    return test::MakeJpeg(width, height, 3, pixels, false, 90);
}

struct Case {
    int leastWidth;
    int leastHeight;
    int width; // what is read
    int height;
};

TEST(JpegScaling, TheSmallestScaleNotBelowTheLeastSizeIsRead)
{
    const Bytes jpeg = HalvesWithACorner();
    const Case cases[] = {
        {200, 150, 200, 150},    // 1/8
        {201, 150, 400, 300},    // 2/8
        {200, 151, 400, 300},
        {720, 540, 800, 600},    // 4/8
        {720, 576, 800, 600},
        {1000, 700, 1000, 750},  // 5/8
        {1500, 1, 1600, 1200},   // 8/8
        {3000, 2000, 1600, 1200}, // enlarged later: read whole
        {1, 1, 200, 150},
    };
    for (const Case& c : cases) {
        TFullDib dib;
        dib.SetLeastSize([&c](int width, int height) {
            EXPECT_EQ(width, 1600);
            EXPECT_EQ(height, 1200);
            return ReadSize{c.leastWidth, c.leastHeight};
        });
        ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
        EXPECT_EQ(dib.Width(), c.width) << c.leastWidth << "x" << c.leastHeight;
        EXPECT_EQ(dib.Height(), c.height) << c.leastWidth << "x" << c.leastHeight;
        EXPECT_EQ(dib.DeclaredWidth(), 1600);
        // The picture is the same, only smaller: corner, blue and yellow halves.
        const auto at = [&dib](double fx, double fy) {
            return test::ColourAt(dib, static_cast<int>(fx * dib.Width()), dib.Height() - 1 - static_cast<int>(fy * dib.Height()));
        };
        const auto near = [](Rgb c, int red, int green, int blue) {
            return std::abs(c.red - red) < 24 && std::abs(c.green - green) < 24 && std::abs(c.blue - blue) < 24;
        };
        EXPECT_TRUE(near(at(0.1, 0.1), 255, 255, 255));
        EXPECT_TRUE(near(at(0.3, 0.8), 0, 0, 255));   // blue
        EXPECT_TRUE(near(at(0.8, 0.5), 255, 255, 0)); // yellow
        EXPECT_TRUE(near(at(0.26, 0.34), 0, 0, 255)); // just outside the corner
    }
}

TEST(JpegScaling, WithoutARuleAndForOtherFormatsTheWholePictureIsRead)
{
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, HalvesWithACorner()));
    EXPECT_EQ(dib.Width(), 1600);
    EXPECT_EQ(dib.Height(), 1200);

    TFullDib bmp;
    bmp.SetLeastSize([](int, int) { return ReadSize{10, 10}; });
    test::BmpRecipe recipe(300, 200, 24);
    recipe.pixels = Bytes(static_cast<std::size_t>(test::StoredStride(300, 24)) * 200, 77);
    ASSERT_TRUE(test::LoadBytes(bmp, test::MakeBmp(recipe)));
    EXPECT_EQ(bmp.Width(), 300);
    EXPECT_EQ(bmp.Height(), 200);
}

// A JPEG too large to hold whole at full size (12000 x 9000, 324 MB at 24 bits)
// is read by the panel at the smallest scale that still covers it (1/8, 1500 x
// 1125), and shown reduced by whole steps of 10 from there.
TEST(JpegScaling, ThePanelShowsAPictureTooLargeToHoldWhole)
{
    Bytes jpeg = test::MakeJpeg(16, 16, 3, Bytes(16 * 16 * 3, 200), false);
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 9000 >> 8;
            jpeg[i + 6] = 9000 & 0xFF;
            jpeg[i + 7] = 12000 >> 8;
            jpeg[i + 8] = 12000 & 0xFF;
            break;
        }
    }
    const std::string path = test::WriteTempFile("phone.jpg", jpeg);
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    ASSERT_TRUE(panel.LoadFile(path)) << panel.ErrorText();
    EXPECT_EQ(panel.DeclaredWidth(), 12000);
    EXPECT_EQ(panel.DeclaredHeight(), 9000);
    EXPECT_EQ(panel.Shown().shownWidth, 150);
    EXPECT_EQ(panel.Shown().shownHeight, 113);
    EXPECT_EQ(panel.Shown().horizontalStep, 10);
}

} // namespace
} // namespace discforge
