// The preview panel: what it shows of pictures, frames and surfaces, in which
// order it has the rows painted, the frame line, and what a failed load leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "PanelTestSupport.h"
#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"
#include "TestPaths.h"

namespace discforge {
namespace {

using test::Bytes;
using test::PaintRecorder;
using test::Rgb;

// A 32-bit picture whose pixels tell their place.
void MakePattern(TBaseDib& picture, int width, int height)
{
    ASSERT_TRUE(picture.CreateBlank(width, height));
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture.Row(r) + 4 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(r);
            p[2] = static_cast<std::uint8_t>(x * 7 + r * 3 + 1);
            p[3] = 0x5A; // X must not matter
        }
    }
}

void Paint(TBaseDib& picture, Rgb colour)
{
    for (int r = 0; r < picture.Height(); ++r) {
        for (int x = 0; x < picture.Width(); ++x) {
            std::uint8_t* p = picture.Row(r) + 4 * x;
            p[0] = colour.blue;
            p[1] = colour.green;
            p[2] = colour.red;
        }
    }
}

test::SourceColour ColoursOf(const TBaseDib& picture)
{
    return [&picture](int x, int fromBottom) { return test::ColourAt(picture, x, fromBottom); };
}

bool AllBlack(const TPreviewDib& panel)
{
    for (int r = 0; r < panel.Height(); ++r) {
        for (int x = 0; x < panel.Width(); ++x) {
            if (!(test::PanelPixel(panel, x, r) == Rgb{0, 0, 0})) {
                return false;
            }
        }
    }
    return true;
}

std::vector<int> Range(int from, int to) // from .. to, either way
{
    std::vector<int> rows;
    for (int r = from;; r += from <= to ? 1 : -1) {
        rows.push_back(r);
        if (r == to) {
            return rows;
        }
    }
}

// A bitmap information header of 40 bytes, its colour table and rows.
Bytes PackedFrame(int width, int height, int bitCount, const Bytes& table, const Bytes& rows)
{
    Bytes frame;
    test::PutLe32(frame, 40);
    test::PutLe32(frame, static_cast<std::uint32_t>(width));
    test::PutLe32(frame, static_cast<std::uint32_t>(height));
    test::PutLe16(frame, 1);
    test::PutLe16(frame, bitCount);
    test::PutLe32(frame, 0);
    test::PutLe32(frame, static_cast<std::uint32_t>(rows.size()));
    test::PutLe32(frame, 0);
    test::PutLe32(frame, 0);
    test::PutLe32(frame, static_cast<std::uint32_t>(table.size() / 4));
    test::PutLe32(frame, 0);
    frame.insert(frame.end(), table.begin(), table.end());
    frame.insert(frame.end(), rows.begin(), rows.end());
    return frame;
}

TEST(PreviewPanel, StartsBlackAndPaintedWhole)
{
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {10, 20, 170, 140});
    ASSERT_TRUE(panel.HasPicture());
    EXPECT_EQ(panel.Width(), 160);
    EXPECT_EQ(panel.Height(), 120);
    EXPECT_EQ(panel.Depth(), 24);
    EXPECT_TRUE(AllBlack(panel));
    ASSERT_EQ(recorder.paints.size(), 1u);
    EXPECT_EQ(recorder.paints[0].firstRow, 0);
    EXPECT_EQ(recorder.paints[0].rowCount, 120);
    // Memory rows are stored bottom-up in the rectangle.
    EXPECT_EQ(panel.WindowLineOf(0), 139);
    EXPECT_EQ(panel.WindowLineOf(119), 20);

    TPreviewDib unpainted(nullptr, {0, 0, 4, 3});
    EXPECT_TRUE(unpainted.HasPicture());
    TPreviewDib empty(nullptr, {5, 5, 5, 9});
    EXPECT_EQ(empty.Width(), 0);
}

TEST(PreviewPanel, ShowPictureReducesCentresAndPaintsRowsBottomUp)
{
    std::mt19937 random(1);
    test::BmpRecipe recipe{720, 480, 8};
    recipe.palette = test::RandomBytes(random, 256 * 4);
    recipe.pixels = test::RandomBytes(random, 720 * 480);
    TFullDib picture;
    ASSERT_TRUE(test::LoadBytes(picture, test::MakeBmp(recipe), "frame.bmp"));

    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 160, 120});
    ASSERT_TRUE(panel.ShowPicture(picture));
    const PanelFit expectedFit{5, 5, 144, 96, 8, 12, 144, 96};
    EXPECT_EQ(panel.Shown(), expectedFit);
    test::ExpectPanelShows(panel, 720, 480, false, ColoursOf(picture));
    EXPECT_EQ(recorder.SingleRows(), Range(12, 107));
    test::ExpectScreenMatchesPanel(recorder, panel);
    // The description comes along.
    EXPECT_EQ(panel.Format(), PictureFormat::bmp);
    EXPECT_EQ(panel.DeclaredWidth(), 720);
    EXPECT_EQ(panel.DeclaredDepth(), 8);
    EXPECT_EQ(panel.Path(), picture.Path());
}

TEST(PreviewPanel, ShowPictureOfEveryDepthReducedAndWhole)
{
    std::mt19937 random(2);
    const int width = 13;
    const int height = 9;
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        test::BmpRecipe recipe{width, height, bitCount};
        if (bitCount <= 8) {
            recipe.palette = test::RandomBytes(random, static_cast<std::size_t>(4) << bitCount);
        }
        recipe.pixels
            = test::RandomBytes(random, static_cast<std::size_t>(test::StoredStride(width, bitCount)) * height);
        TFullDib picture;
        ASSERT_TRUE(test::LoadBytes(picture, test::MakeBmp(recipe)));
        ASSERT_EQ(picture.Depth(), bitCount);
        for (const PanelRect rect : {PanelRect{0, 0, 6, 5}, PanelRect{0, 0, 20, 15}}) {
            TPreviewDib panel(nullptr, rect);
            ASSERT_TRUE(panel.ShowPicture(picture));
            SCOPED_TRACE(testing::Message() << bitCount << " bits in a panel " << rect.right << " wide");
            test::ExpectPanelShows(panel, width, height, false, ColoursOf(picture));
        }
    }
}

TEST(PreviewPanel, PictureInsideThePanelLessOnePixelIsShownWholeAndCentred)
{
    TFullDib picture;
    MakePattern(picture, 100, 50);
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    ASSERT_TRUE(panel.ShowPicture(picture));
    // Its bottom-left pixel at (30, 35), its top-right one at (129, 84).
    EXPECT_EQ(test::PanelPixel(panel, 30, 35), (Rgb{0, 0, 1}));
    EXPECT_EQ(test::PanelPixel(panel, 129, 84), (Rgb{99, 49, static_cast<std::uint8_t>(99 * 7 + 49 * 3 + 1)}));
    EXPECT_EQ(test::PanelPixel(panel, 29, 35), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::PanelPixel(panel, 130, 84), (Rgb{0, 0, 0}));
    test::ExpectPanelShows(panel, 100, 50, false, ColoursOf(picture));

    MakePattern(picture, 159, 119);
    ASSERT_TRUE(panel.ShowPicture(picture));
    EXPECT_EQ(test::PanelPixel(panel, 0, 0), (Rgb{0, 0, 1}));
    EXPECT_EQ(test::PanelPixel(panel, 158, 118), (Rgb{158, 118, static_cast<std::uint8_t>(158 * 7 + 118 * 3 + 1)}));
}

TEST(PreviewPanel, ShowFrameBottomUpAndTopDown)
{
    std::mt19937 random(3);
    const int width = 50;
    const int height = 30;
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 20, 15});

    // 8 bits with a colour table of 200 entries: the higher indices are black.
    const Bytes table = test::RandomBytes(random, 200 * 4);
    const int indexStride = test::StoredStride(width, 8);
    const Bytes indices = test::RandomBytes(random, static_cast<std::size_t>(indexStride) * height);
    const Bytes paletteFrame = PackedFrame(width, height, 8, table, indices);
    ASSERT_TRUE(panel.ShowFrame(paletteFrame.data(), paletteFrame.size()));
    test::ExpectPanelShows(panel, width, height, false, [&](int x, int fromBottom) {
        const int index = indices[static_cast<std::size_t>(fromBottom) * indexStride + x];
        return index < 200 ? Rgb{table[4 * index], table[4 * index + 1], table[4 * index + 2]} : Rgb{0, 0, 0};
    });

    // 24 bits stored top row first: the top row is at the top of the panel.
    const int stride = test::StoredStride(width, 24);
    const Bytes rows = test::RandomBytes(random, static_cast<std::size_t>(stride) * height);
    const Bytes frame = PackedFrame(width, -height, 24, {}, rows);
    PaintRecorder topDownRecorder;
    TPreviewDib topDownPanel(&topDownRecorder, {0, 0, 20, 15});
    ASSERT_TRUE(topDownPanel.ShowFrame(frame.data(), frame.size()));
    test::ExpectPanelShows(topDownPanel, width, height, true, [&](int x, int fromBottom) {
        const std::uint8_t* p = rows.data() + static_cast<std::size_t>(height - 1 - fromBottom) * stride + 3 * x;
        return Rgb{p[0], p[1], p[2]};
    });
    const PanelFit& fit = topDownPanel.Shown();
    const std::vector<int> painted = topDownRecorder.SingleRows();
    EXPECT_EQ(painted.front(), fit.verticalOffset + fit.shownHeight - 1);
    EXPECT_LT(painted.back(), painted.front());
    test::ExpectScreenMatchesPanel(topDownRecorder, topDownPanel);

    // 16 bits are 5-5-5 words; 32 bits keep blue, green and red.
    for (int bitCount : {16, 32}) {
        const int frameStride = test::StoredStride(width, bitCount);
        const Bytes pixels = test::RandomBytes(random, static_cast<std::size_t>(frameStride) * height);
        const Bytes packed = PackedFrame(width, height, bitCount, {}, pixels);
        ASSERT_TRUE(panel.ShowFrame(packed.data(), packed.size()));
        test::ExpectPanelShows(panel, width, height, false, [&](int x, int fromBottom) {
            const std::uint8_t* p = pixels.data() + static_cast<std::size_t>(fromBottom) * frameStride;
            if (bitCount == 32) {
                return Rgb{p[4 * x], p[4 * x + 1], p[4 * x + 2]};
            }
            const int word = p[2 * x] | p[2 * x + 1] << 8;
            return Rgb{static_cast<std::uint8_t>((word & 31) << 3), static_cast<std::uint8_t>(((word >> 5) & 31) << 3),
                static_cast<std::uint8_t>(((word >> 10) & 31) << 3)};
        });
    }
}

TEST(PreviewPanel, ShowFrameRefusesWhatItCannotReadAndKeepsThePicture)
{
    TFullDib picture;
    MakePattern(picture, 30, 20);
    TPreviewDib panel(nullptr, {0, 0, 20, 15});
    ASSERT_TRUE(panel.ShowPicture(picture));

    Bytes cut = PackedFrame(8, 8, 24, {}, Bytes(static_cast<std::size_t>(test::StoredStride(8, 24)) * 8, 0xFF));
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(panel.ShowFrame(cut.data(), cut.size()));
    EXPECT_STREQ(panel.ErrorText(), picture_message::unsupportedHeader);
    // More colour entries than the frame holds.
    Bytes table = PackedFrame(2, 2, 8, Bytes(8, 0), Bytes(8, 1));
    table[32] = 0xFF;
    EXPECT_FALSE(panel.ShowFrame(table.data(), table.size()));
    const Bytes twoBits = PackedFrame(8, 1, 2, Bytes(16, 0), Bytes(4, 0));
    EXPECT_FALSE(panel.ShowFrame(twoBits.data(), twoBits.size()));
    EXPECT_STREQ(panel.ErrorText(), picture_message::unsupportedDepth);
    EXPECT_FALSE(panel.ShowFrame(nullptr, 0));
    EXPECT_FALSE(panel.ShowFrame(cut.data(), 39));
    test::ExpectPanelShows(panel, 30, 20, false, ColoursOf(picture));
}

TEST(PreviewPanel, ShowRawTakesTheLastStoredRowFirst)
{
    std::mt19937 random(4);
    const int width = 64;
    const int height = 48;
    const int pitch = 4 * width + 12;
    const Bytes rows = test::RandomBytes(random, static_cast<std::size_t>(pitch) * height);
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 20, 15});
    ASSERT_TRUE(panel.ShowRaw({width, height, pitch, rows.data()}));
    test::ExpectPanelShows(panel, width, height, false, [&](int x, int fromBottom) {
        const std::uint8_t* p = rows.data() + static_cast<std::size_t>(height - 1 - fromBottom) * pitch + 4 * x;
        return Rgb{p[0], p[1], p[2]};
    });
    const PanelFit& fit = panel.Shown();
    const std::vector<int> painted = recorder.SingleRows();
    EXPECT_EQ(painted, Range(fit.verticalOffset, fit.verticalOffset + fit.keptRows - 1));
    test::ExpectScreenMatchesPanel(recorder, panel);

    EXPECT_FALSE(panel.ShowRaw({width, height, 4 * width - 1, rows.data()}));
    EXPECT_FALSE(panel.ShowRaw({width, height, pitch, nullptr}));
}

TEST(PreviewPanel, APictureOfAnotherSizeLeavesNothingOfTheLastOne)
{
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 160, 120});
    TFullDib large;
    ASSERT_TRUE(large.CreateBlank(720, 480));
    Paint(large, {255, 255, 255});
    ASSERT_TRUE(panel.ShowPicture(large));
    TFullDib small;
    MakePattern(small, 100, 20);
    ASSERT_TRUE(panel.ShowPicture(small));
    test::ExpectPanelShows(panel, 100, 20, false, ColoursOf(small));
    test::ExpectScreenMatchesPanel(recorder, panel);

    // A frame of the same size is drawn over the last one, without a black flash.
    Bytes surface(static_cast<std::size_t>(4) * 100 * 20, 0x33);
    ASSERT_TRUE(panel.ShowRaw({100, 20, 400, surface.data()}));
    recorder.Forget();
    std::fill(surface.begin(), surface.end(), std::uint8_t{0x44});
    ASSERT_TRUE(panel.ShowRaw({100, 20, 400, surface.data()}));
    for (const PaintRecorder::Paint& paint : recorder.paints) {
        EXPECT_EQ(paint.rowCount, 1);
    }
    test::ExpectPanelShows(panel, 100, 20, false, [](int, int) { return Rgb{0x44, 0x44, 0x44}; });
}

TEST(PreviewPanel, FrameLineOutlinesTheShownPicture)
{
    TFullDib picture;
    ASSERT_TRUE(picture.CreateBlank(720, 480));
    Paint(picture, {0x40, 0x40, 0x40});
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 160, 120});
    ASSERT_TRUE(panel.ShowPicture(picture));
    recorder.Forget();
    panel.DrawFrameLine();
    EXPECT_TRUE(recorder.paints.empty());
    // Shown 144 x 96 at 8, 12: rows 12 and 107, columns 8 and 151.
    for (int r = 0; r < 120; ++r) {
        for (int x = 0; x < 160; ++x) {
            const bool inside = x >= 8 && x <= 151 && r >= 12 && r <= 107;
            const bool edge = inside && (x == 8 || x == 151 || r == 12 || r == 107);
            const Rgb expected = edge ? Rgb{255, 255, 255} : inside ? Rgb{0x40, 0x40, 0x40} : Rgb{0, 0, 0};
            ASSERT_EQ(test::PanelPixel(panel, x, r), expected) << x << "," << r;
        }
    }

    panel.Clear();
    panel.DrawFrameLine();
    EXPECT_TRUE(AllBlack(panel));
}

TEST(PreviewPanel, ClearMakesItBlackAndForgetsThePicture)
{
    TFullDib picture;
    MakePattern(picture, 40, 30);
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 20, 15});
    ASSERT_TRUE(panel.ShowPicture(picture));
    recorder.Forget();
    panel.Clear();
    EXPECT_TRUE(AllBlack(panel));
    EXPECT_EQ(panel.Format(), PictureFormat::none);
    EXPECT_EQ(panel.Shown(), PanelFit{});
    ASSERT_EQ(recorder.paints.size(), 1u);
    EXPECT_EQ(recorder.paints[0].rowCount, 15);
}

TEST(PreviewPanel, FailedLoadsLeaveThePanelBlackWithTheFullSizeReadersMessage)
{
    TFullDib picture;
    MakePattern(picture, 40, 30);
    TPreviewDib panel(nullptr, {0, 0, 20, 15});

    ASSERT_TRUE(panel.ShowPicture(picture));
    EXPECT_FALSE(panel.LoadFile("/nonexistent/picture.bmp"));
    EXPECT_STREQ(panel.ErrorText(), "Error opening file /nonexistent/picture.bmp");
    EXPECT_TRUE(AllBlack(panel));

    const Bytes refused[] = {
        test::MakeBmp({2, 2, 24, 108}), // unsupported header
        test::MakeBmp({40000, 40000, 24}), // more than a full-size picture may hold
        test::MakeBmp({2, 2, 8, 40, 0, 0}), // palette missing
    };
    for (const Bytes& file : refused) {
        ASSERT_TRUE(panel.ShowPicture(picture));
        TFullDib full;
        EXPECT_FALSE(test::LoadBytes(full, file));
        EXPECT_FALSE(test::LoadBytes(panel, file));
        EXPECT_STREQ(panel.ErrorText(), full.ErrorText());
        EXPECT_TRUE(AllBlack(panel));
    }
}

TEST(PreviewPanel, ShortFilesShowTheRowsThatArrived)
{
    std::mt19937 random(5);
    const int width = 40;
    const int height = 30;
    const int stride = test::StoredStride(width, 24);
    test::BmpRecipe recipe{width, height, 24};
    recipe.pixels = test::RandomBytes(random, static_cast<std::size_t>(stride) * 12);
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 20, 15});
    ASSERT_TRUE(test::LoadBytes(panel, test::MakeBmp(recipe)));
    EXPECT_STREQ(panel.ErrorText(), picture_message::prematureEnd);
    test::ExpectPanelShows(panel, width, height, false, [&](int x, int fromBottom) {
        if (fromBottom >= 12) {
            return Rgb{0, 0, 0};
        }
        const std::uint8_t* p = recipe.pixels.data() + static_cast<std::size_t>(fromBottom) * stride + 3 * x;
        return Rgb{p[0], p[1], p[2]};
    });
    test::ExpectScreenMatchesPanel(recorder, panel);

    recipe.pixels.resize(static_cast<std::size_t>(stride) - 1);
    EXPECT_FALSE(test::LoadBytes(panel, test::MakeBmp(recipe)));
    EXPECT_TRUE(AllBlack(panel));
}

TEST(PreviewPanel, TopDownBmpIsShownUpright)
{
    std::mt19937 random(6);
    const int width = 30;
    const int height = 20;
    test::BmpRecipe recipe{width, -height, 24};
    recipe.pixels = test::RandomBytes(random, static_cast<std::size_t>(test::StoredStride(width, 24)) * height);
    TFullDib full;
    ASSERT_TRUE(test::LoadBytes(full, test::MakeBmp(recipe)));
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 12, 9});
    recorder.Forget();
    ASSERT_TRUE(test::LoadBytes(panel, test::MakeBmp(recipe)));
    test::ExpectPanelShows(panel, width, height, true, ColoursOf(full));
    const std::vector<int> painted = recorder.SingleRows();
    ASSERT_GE(painted.size(), 2u);
    EXPECT_GT(painted.front(), painted.back());
}

TEST(PreviewPanel, BitFieldChannelsKeepTheirOwnPrecision)
{
    // 5-6-5: the panel takes green's six bits, where the full-size picture's
    // 5-5-5 words keep five.
    test::BmpRecipe recipe{2, 1, 16, 40, 3};
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) {
        test::PutLe32(recipe.masks, mask);
    }
    const int word = (21 << 11) | (45 << 5) | 9;
    recipe.pixels = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8), 0xFF, 0xFF};
    TPreviewDib panel(nullptr, {0, 0, 4, 3});
    ASSERT_TRUE(test::LoadBytes(panel, test::MakeBmp(recipe)));
    // Shown 2 x 1 at 1, 1.
    EXPECT_EQ(test::PanelPixel(panel, 1, 1), (Rgb{9 << 3, 45 << 2, 21 << 3}));
    EXPECT_EQ(test::PanelPixel(panel, 2, 1), (Rgb{31 << 3, 63 << 2, 31 << 3}));
}

Bytes SeedFile(const std::string& format, const std::string& name)
{
    std::ifstream file(std::filesystem::path(DISCFORGE_SEEDS_DIR) / format / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(PreviewPanel, GifSmallerThanItsScreenShowsTheBackgroundAroundIt)
{
    // A 12 x 9 screen with a global table and background index 7; a 6 x 4
    // image at 3, 2 with a transparent index.
    const Bytes file = SeedFile("gif", "offset-transparent");
    ASSERT_GT(file.size(), 13u + 24u);
    ASSERT_EQ(file[6] | file[7] << 8, 12);
    ASSERT_EQ(file[11], 7);
    const Rgb background{file[13 + 3 * 7 + 2], file[13 + 3 * 7 + 1], file[13 + 3 * 7]};
    TFullDib full;
    ASSERT_TRUE(test::LoadBytes(full, file));
    for (const PanelRect rect : {PanelRect{0, 0, 30, 20}, PanelRect{0, 0, 5, 4}}) {
        TPreviewDib panel(nullptr, rect);
        ASSERT_TRUE(test::LoadBytes(panel, file));
        const PanelFit& fit = panel.Shown();
        // Screen pixel (x, y from the top) of a kept column and row.
        auto shown = [&](int x, int y) {
            return test::PanelPixel(panel, fit.horizontalOffset + x / fit.horizontalStep,
                fit.verticalOffset + fit.shownHeight - 1 - y / fit.verticalStep);
        };
        EXPECT_EQ(shown(0, 0), background);
        EXPECT_EQ(shown(0, 8 / fit.verticalStep * fit.verticalStep), background);
        if (fit.horizontalStep == 1) {
            EXPECT_EQ(shown(11, 8), background);
            EXPECT_EQ(shown(3 + 5, 2), background); // the transparent pixel
        }
        test::ExpectPanelShows(panel, 12, 9, true, ColoursOf(full));
    }
}

TEST(PreviewPanel, GifWithoutAGlobalTableShowsIndexZeroAroundItsImage)
{
    // A 4 x 3 screen without a global table; a 2 x 1 image at 1, 1 with a
    // local table of two colours. The full-size picture is index 0 around the
    // image, the local table's first colour.
    Bytes file = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x00, 0, 0, // screen
        0x2C, 1, 0, 1, 0, 2, 0, 1, 0, 0x80, 10, 20, 30, 40, 50, 60, 2}; // image
    const Bytes data = test::GifImageData({1, 1}, 2);
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(0x3B);
    TFullDib full;
    ASSERT_TRUE(test::LoadBytes(full, file)) << full.ErrorText();
    TPreviewDib panel(nullptr, {0, 0, 10, 10});
    ASSERT_TRUE(test::LoadBytes(panel, file)) << panel.ErrorText();
    const PanelFit& fit = panel.Shown();
    EXPECT_EQ(test::PanelPixel(panel, fit.horizontalOffset, fit.verticalOffset), (Rgb{30, 20, 10}));
    EXPECT_EQ(test::PanelPixel(panel, fit.horizontalOffset + 1, fit.verticalOffset + 1), (Rgb{60, 50, 40}));
    test::ExpectPanelShows(panel, 4, 3, true, ColoursOf(full));
}

} // namespace
} // namespace discforge
