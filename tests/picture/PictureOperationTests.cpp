// The picture operations other than Rescale, and the fitting of a picture to
// the output frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "PictureFiles.h"
#include "SurfaceBands.h"
#include "picture/PictureFitting.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

// A 32-bit picture whose pixel (x, memory row r) is blue x, green r, red 7, X 0.
void MakeRamp(TBaseDib& dib, int width, int height)
{
    ASSERT_TRUE(dib.CreateBlank(width, height));
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = dib.Row(r) + 4 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(r);
            p[2] = 7;
        }
    }
}

bool IsBlack(const TBaseDib& dib, int x, int r)
{
    const std::uint8_t* p = dib.Row(r) + 4 * x;
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
}

// The columns of memory row r that are not black, as [first, last].
std::pair<int, int> PictureColumns(const TBaseDib& dib, int r)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < dib.Width(); ++x) {
        if (!IsBlack(dib, x, r)) {
            if (first < 0) {
                first = x;
            }
            last = x;
        }
    }
    return {first, last};
}

TEST(Block, HeaderColourTableAndRowsFollowTheBitmapLayout)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(5, 3, 15));
    const std::uint8_t* h = dib.Header();
    auto le32 = [&](int offset) { return h[offset] | h[offset + 1] << 8 | h[offset + 2] << 16 | h[offset + 3] << 24; };
    EXPECT_EQ(le32(0), 40);
    EXPECT_EQ(le32(4), 5);
    EXPECT_EQ(le32(8), 3);
    EXPECT_EQ(h[12], 1);
    EXPECT_EQ(h[14], 16); // depth 15 is stored with bit count 16
    EXPECT_EQ(dib.Depth(), 15);
    EXPECT_EQ(dib.RowBytes(), 10);
    EXPECT_EQ(dib.Stride(), 12);
    EXPECT_EQ(le32(20), 36);
    EXPECT_EQ(dib.BlockSize(), 40u + 36u);
    EXPECT_EQ(dib.Pixels(), dib.Header() + 40);

    ASSERT_TRUE(dib.AllocatePicture(9, 2, 4));
    EXPECT_EQ(dib.ColourCount(), 16);
    EXPECT_EQ(dib.RowBytes(), 5);
    EXPECT_EQ(dib.Stride(), 8);
    EXPECT_EQ(dib.Pixels(), dib.Header() + 40 + 64);
    EXPECT_EQ(dib.ColourTableData(), dib.Header() + 40);
}

TEST(Block, SameSizeAndDepthKeepsTheBlockAndItsPixels)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(4, 4, 24));
    dib.Row(2)[5] = 99;
    const std::uint8_t* before = dib.Header();
    ASSERT_TRUE(dib.AllocatePicture(4, 4, 24));
    EXPECT_EQ(dib.Header(), before);
    EXPECT_EQ(dib.Row(2)[5], 99);
}

TEST(Block, AFittingBlockKeepsItsMemoryAndIsClearedOnlyWhenAsked)
{
    PictureBlock block;
    ASSERT_TRUE(block.Allocate(100, PictureBlock::Contents::black));
    EXPECT_EQ(std::count(block.Data(), block.Data() + 100, 0), 100);
    std::fill(block.Data(), block.Data() + 100, std::uint8_t{7});
    const std::uint8_t* memory = block.Data();

    ASSERT_TRUE(block.Allocate(60, PictureBlock::Contents::unset));
    EXPECT_EQ(block.Data(), memory);
    EXPECT_EQ(block.Size(), 60u);
    EXPECT_EQ(block.Data()[59], 7);

    ASSERT_TRUE(block.Allocate(100, PictureBlock::Contents::black));
    EXPECT_EQ(block.Data(), memory);
    EXPECT_EQ(std::count(block.Data(), block.Data() + 100, 0), 100);

    ASSERT_TRUE(block.Allocate(5000, PictureBlock::Contents::black));
    EXPECT_EQ(block.Size(), 5000u);
    EXPECT_EQ(std::count(block.Data(), block.Data() + 5000, 0), 5000);
}

TEST(Block, ANewSizeStartsBlackEvenInTheMemoryOfABiggerPicture)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(8, 8, 32));
    std::fill(dib.Pixels(), dib.Pixels() + 8 * 8 * 4, std::uint8_t{0xFF});
    ASSERT_TRUE(dib.Rescale(4, 4, 4, 4)); // the 8 x 8 block becomes the work block
    ASSERT_TRUE(dib.AllocatePicture(5, 3, 8));
    EXPECT_EQ(std::count(dib.Header() + 40, dib.Header() + dib.BlockSize(), 0),
              static_cast<long>(dib.BlockSize() - 40));
}

TEST(Block, RefusesUnknownDepthsAndBlocksOverTheLimit)
{
    TFullDib dib;
    EXPECT_FALSE(dib.AllocatePicture(4, 4, 12));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedDepth);
    EXPECT_FALSE(dib.AllocatePicture(8192, 8193, 32));
    EXPECT_STREQ(dib.ErrorText(), picture_message::outOfMemory);
    EXPECT_FALSE(dib.AllocatePicture(-1, 4, 32));
    EXPECT_FALSE(dib.AllocatePicture(65535, 65535, 1));
    EXPECT_FALSE(dib.PrepareWork(100000, 100000, 24));
    EXPECT_STREQ(dib.ErrorText(), picture_message::outOfMemory);
}

TEST(ConvertDepth, EveryDepthGivesItsColours)
{
    TFullDib dib;
    // 1 bit: two colours, most significant bit first.
    ASSERT_TRUE(dib.AllocatePicture(9, 1, 1));
    std::uint8_t* table = dib.ColourTableData();
    table[4] = 11, table[5] = 22, table[6] = 33;
    dib.Row(0)[0] = 0b10100000;
    dib.Row(0)[1] = 0b10000000;
    ASSERT_TRUE(dib.ConvertDepth(32));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{11, 22, 33}));
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::ColourAt(dib, 2, 0), (Rgb{11, 22, 33}));
    EXPECT_EQ(test::ColourAt(dib, 8, 0), (Rgb{11, 22, 33}));

    // 4 bits: high nibble first.
    ASSERT_TRUE(dib.AllocatePicture(3, 1, 4));
    table = dib.ColourTableData();
    table[4 * 5] = 50;
    table[4 * 12 + 2] = 120;
    dib.Row(0)[0] = 0x5C;
    dib.Row(0)[1] = 0xC0;
    ASSERT_TRUE(dib.ConvertDepth(24));
    EXPECT_EQ(dib.Depth(), 24);
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{50, 0, 0}));
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{0, 0, 120}));
    EXPECT_EQ(test::ColourAt(dib, 2, 0), (Rgb{0, 0, 120}));

    // 16 bits: 5-5-5 with the low three bits of each channel 0.
    ASSERT_TRUE(dib.AllocatePicture(1, 1, 16));
    const int word = (31 << 10) | (1 << 5) | 16;
    dib.Row(0)[0] = static_cast<std::uint8_t>(word);
    dib.Row(0)[1] = static_cast<std::uint8_t>(word >> 8);
    ASSERT_TRUE(dib.ConvertDepth(32));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{128, 8, 248}));
    EXPECT_EQ(dib.Row(0)[3], 0);

    // 32 to 24 drops X.
    dib.Row(0)[3] = 77;
    ASSERT_TRUE(dib.ConvertDepth(24));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{128, 8, 248}));
    EXPECT_EQ(dib.Stride(), 4);
    EXPECT_EQ(dib.Row(0)[3], 0);
}

TEST(ConvertDepth, SameDepthDoesNothingAndOtherTargetsFail)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(2, 2, 24));
    const std::uint8_t* before = dib.Header();
    EXPECT_TRUE(dib.ConvertDepth(24));
    EXPECT_EQ(dib.Header(), before);
    EXPECT_FALSE(dib.ConvertDepth(16));
    EXPECT_EQ(dib.Depth(), 24);
}

TEST(CentreInFrame, SameSizeCopiesAndOddSurplusGoesTopAndRight)
{
    TFullDib dib;
    MakeRamp(dib, 4, 3);
    ASSERT_TRUE(dib.CentreInFrame(4, 3));
    EXPECT_EQ(test::ColourAt(dib, 3, 2), (Rgb{3, 2, 7}));

    ASSERT_TRUE(dib.CentreInFrame(7, 6));
    // Three spare columns: one left, two right; three spare rows: one below, two above.
    EXPECT_EQ(PictureColumns(dib, 1), std::make_pair(1, 4));
    EXPECT_TRUE(IsBlack(dib, 2, 0));
    EXPECT_TRUE(IsBlack(dib, 2, 4));
    EXPECT_TRUE(IsBlack(dib, 2, 5));
    EXPECT_EQ(test::ColourAt(dib, 1, 1), (Rgb{0, 0, 7}));
    EXPECT_EQ(test::ColourAt(dib, 4, 3), (Rgb{3, 2, 7}));
}

TEST(Crop, LargerPictureGivesItsTopLeftPart)
{
    TFullDib dib;
    MakeRamp(dib, 10, 8);
    ASSERT_TRUE(dib.Crop(2, 1, 4, 3));
    ASSERT_EQ(dib.Width(), 4);
    ASSERT_EQ(dib.Height(), 3);
    // The top row of the cut is source row 1 from the top: memory row 6.
    EXPECT_EQ(test::ColourAt(dib, 0, 2), (Rgb{2, 6, 7}));
    EXPECT_EQ(test::ColourAt(dib, 3, 0), (Rgb{5, 4, 7}));
}

TEST(Crop, SmallerPictureIsCentredOnBlack)
{
    TFullDib dib;
    MakeRamp(dib, 3, 2);
    ASSERT_TRUE(dib.Crop(0, 0, 6, 5));
    // Three spare columns: one left, two right; three spare rows: one below, two above.
    EXPECT_EQ(PictureColumns(dib, 1), std::make_pair(1, 3));
    EXPECT_EQ(test::ColourAt(dib, 1, 2), (Rgb{0, 1, 7}));
    EXPECT_EQ(test::ColourAt(dib, 1, 1), (Rgb{0, 0, 7}));
    EXPECT_TRUE(IsBlack(dib, 1, 0));
    EXPECT_TRUE(IsBlack(dib, 1, 3));
}

TEST(Crop, OffsetsOutsideThePictureGiveBlack)
{
    TFullDib dib;
    MakeRamp(dib, 5, 5);
    ASSERT_TRUE(dib.Crop(5, 0, 4, 4));
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(PictureColumns(dib, r).first, -1);
    }
    MakeRamp(dib, 5, 5);
    ASSERT_TRUE(dib.Crop(-3, -2, 4, 4));
    ASSERT_EQ(dib.Width(), 4);
    MakeRamp(dib, 5, 5);
    ASSERT_TRUE(dib.Crop(1, 1, 6, 6));
    EXPECT_EQ(dib.Height(), 6);
}

TEST(Crop, PicturesOfOtherDepthsAreMade32BitFirst)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(3, 2, 24));
    dib.Row(1)[6] = 9;
    ASSERT_TRUE(dib.Crop(2, 0, 1, 1));
    EXPECT_EQ(dib.Depth(), 32);
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{9, 0, 0}));
    ASSERT_TRUE(dib.AllocatePicture(1, 1, 8));
    ASSERT_TRUE(dib.CentreInFrame(3, 3));
    EXPECT_EQ(dib.Depth(), 32);
}

TEST(Deinterlace, EvenRowsFromTwoUpBecomeTheirNeighboursAverage)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(1, 2, 8));
    dib.Row(0)[0] = 10;
    dib.Row(1)[0] = 20;
    dib.Deinterlace();
    EXPECT_EQ(dib.Row(0)[0], 10);
    EXPECT_EQ(dib.Row(1)[0], 20);

    ASSERT_TRUE(dib.AllocatePicture(1, 6, 8));
    const int values[6] = {1, 10, 99, 31, 99, 50};
    for (int r = 0; r < 6; ++r) {
        dib.Row(r)[0] = static_cast<std::uint8_t>(values[r]);
    }
    dib.Deinterlace();
    const int expected[6] = {1, 10, 20, 31, 40, 50};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(dib.Row(r)[0], expected[r]) << r;
    }
}

TEST(FlipVertical, ReversesTheRowsAndKeepsThePalette)
{
    TFullDib dib;
    MakeRamp(dib, 2, 3);
    ASSERT_TRUE(dib.FlipVertical());
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{1, 2, 7}));
    EXPECT_EQ(test::ColourAt(dib, 1, 2), (Rgb{1, 0, 7}));

    ASSERT_TRUE(dib.AllocatePicture(1, 2, 8));
    dib.ColourTableData()[4 * 3] = 200;
    dib.Row(1)[0] = 3;
    ASSERT_TRUE(dib.FlipVertical());
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{200, 0, 0}));
}

TEST(CreateBlank, IsBlackEvenWhenTheBlockIsKept)
{
    TFullDib dib;
    MakeRamp(dib, 3, 3);
    ASSERT_TRUE(dib.CreateBlank(3, 3));
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(PictureColumns(dib, r).first, -1);
    }
}

TEST(CopyDescription, TakesTheDescriptionButNotThePixels)
{
    TFullDib loaded;
    Bytes tiny = {'B', 'M'};
    ASSERT_FALSE(test::LoadBytes(loaded, tiny, "tiny.bmp"));
    TFullDib other;
    MakeRamp(other, 2, 2);
    other.CopyDescription(loaded);
    EXPECT_STREQ(other.ErrorText(), loaded.ErrorText());
    EXPECT_EQ(other.Width(), 2);
    EXPECT_EQ(test::ColourAt(other, 1, 1), (Rgb{1, 1, 7}));
}

Bytes PackedFrame(int width, int height, int bitCount, int coloursUsed, const Bytes& table, const Bytes& rows)
{
    Bytes frame;
    test::PutLe32(frame, 40);
    test::PutLe32(frame, static_cast<std::uint32_t>(width));
    test::PutLe32(frame, static_cast<std::uint32_t>(height));
    test::PutLe16(frame, 1);
    test::PutLe16(frame, bitCount);
    for (int i = 0; i < 4; ++i) {
        test::PutLe32(frame, 0);
    }
    test::PutLe32(frame, static_cast<std::uint32_t>(coloursUsed));
    test::PutLe32(frame, 0);
    frame.insert(frame.end(), table.begin(), table.end());
    frame.insert(frame.end(), rows.begin(), rows.end());
    return frame;
}

TEST(LoadPackedBitmap, EachDepthAndBothRowOrders)
{
    TFullDib dib;
    // 8 bits, two table entries, rows of 2 pixels padded to 4 bytes, bottom-up.
    const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0};
    const Bytes rows8 = {0, 1, 0, 0, 1, 1, 0, 0};
    Bytes frame = PackedFrame(2, 2, 8, 2, table, rows8);
    ASSERT_TRUE(dib.LoadPackedBitmap(frame.data(), frame.size()));
    EXPECT_EQ(dib.Depth(), 32);
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{4, 5, 6}));
    EXPECT_EQ(test::ColourAt(dib, 0, 1), (Rgb{4, 5, 6}));

    // 24 bits top-down: the first stored row is the top one.
    const Bytes rows24 = {9, 8, 7, 0, 1, 1, 1, 0};
    frame = PackedFrame(1, -2, 24, 0, {}, rows24);
    ASSERT_TRUE(dib.LoadPackedBitmap(frame.data(), frame.size()));
    EXPECT_EQ(test::ColourAt(dib, 0, 1), (Rgb{9, 8, 7}));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{1, 1, 1}));

    // 16 bits: 5-5-5.
    const int word = (1 << 10) | (2 << 5) | 3;
    const Bytes rows16 = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8), 0, 0};
    frame = PackedFrame(1, 1, 16, 0, {}, rows16);
    ASSERT_TRUE(dib.LoadPackedBitmap(frame.data(), frame.size()));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{24, 16, 8}));

    // 32 bits bottom-up are copied whole, X included.
    const Bytes rows32 = {1, 2, 3, 4, 5, 6, 7, 8};
    frame = PackedFrame(1, 2, 32, 0, {}, rows32);
    ASSERT_TRUE(dib.LoadPackedBitmap(frame.data(), frame.size()));
    EXPECT_EQ(0, std::memcmp(dib.Pixels(), rows32.data(), 8));
}

TEST(LoadPackedBitmap, RefusesFramesShorterThanTheirHeaderSays)
{
    TFullDib dib;
    const Bytes rows = {1, 2, 3, 0};
    const Bytes frame = PackedFrame(2, 2, 24, 0, {}, rows);
    EXPECT_FALSE(dib.LoadPackedBitmap(frame.data(), frame.size()));
    EXPECT_FALSE(dib.LoadPackedBitmap(frame.data(), 20));
    const Bytes huge = PackedFrame(100000, 100000, 24, 0, {}, rows);
    EXPECT_FALSE(dib.LoadPackedBitmap(huge.data(), huge.size()));
    EXPECT_STREQ(dib.ErrorText(), picture_message::outOfMemory);
}

TEST(CopyFromSurface, TopRowOfTheSurfaceBecomesTheTopRow)
{
    const Bytes surface = {1, 1, 1, 1, 0xEE, 0xEE, 0xEE, 0xEE, 2, 2, 2, 2, 0xEE, 0xEE, 0xEE, 0xEE};
    TFullDib dib;
    ASSERT_TRUE(dib.CopyFromSurface(1, 2, 8, surface.data()));
    EXPECT_EQ(dib.Row(1)[0], 1);
    EXPECT_EQ(dib.Row(0)[0], 2);
    EXPECT_EQ(dib.Stride(), 4);
    EXPECT_FALSE(dib.CopyFromSurface(3, 2, 8, surface.data()));
}

TEST(Fitting, ProportionalExamplesOnSquarePixels)
{
    const FitPlan wide = PlanFit(640, 480, {352, 240, FitMode::proportional, {}, {}, FitRounding::up});
    EXPECT_EQ(wide.width, 320);
    EXPECT_EQ(wide.height, 240);
    EXPECT_EQ(wide.frameWidth, 352);
    EXPECT_EQ(wide.frameHeight, 240);

    const FitPlan tall = PlanFit(640, 480, {720, 480, FitMode::proportional, {}, {}, FitRounding::up});
    EXPECT_EQ(tall.width, 640);
    EXPECT_EQ(tall.height, 480);
    EXPECT_EQ(tall.frameWidth, 720);
}

TEST(Fitting, RoundingUpForTheSupplyAndDownForThePreview)
{
    const FitRequest up{352, 240, FitMode::proportional, {}, {}, FitRounding::up};
    FitRequest down = up;
    down.rounding = FitRounding::down;
    // s = 240 / 700: 1000 x s = 342.857...
    EXPECT_EQ(PlanFit(1000, 700, up).width, 343);
    EXPECT_EQ(PlanFit(1000, 700, down).width, 342);
    EXPECT_EQ(PlanFit(1000, 700, up).height, 240);
    // Never beyond the target.
    EXPECT_LE(PlanFit(353, 1, up).width, 352);
}

TEST(Fitting, FitPictureCentresStretchesOrCuts)
{
    TFullDib dib;
    MakeRamp(dib, 640, 480);
    ASSERT_TRUE(FitPicture(dib, {352, 240, FitMode::proportional, {}, {}, FitRounding::up}));
    ASSERT_EQ(dib.Width(), 352);
    EXPECT_EQ(PictureColumns(dib, 100), std::make_pair(16, 335));

    // A 4:3 picture on a frame shown 16:9 (PAL DVD pixels 64:45): 540 of the 720 columns.
    MakeRamp(dib, 640, 480);
    ASSERT_TRUE(FitPicture(dib, {720, 576, FitMode::proportional, {64, 45}, {}, FitRounding::up}));
    ASSERT_EQ(dib.Width(), 720);
    EXPECT_EQ(PictureColumns(dib, 100), std::make_pair(90, 629));

    MakeRamp(dib, 640, 480);
    ASSERT_TRUE(FitPicture(dib, {720, 576, FitMode::fillIn, {}, {}, FitRounding::up}));
    EXPECT_EQ(dib.Width(), 720);
    EXPECT_EQ(dib.Height(), 576);
    EXPECT_EQ(PictureColumns(dib, 0), std::make_pair(0, 719)); // red 7 everywhere: no black

    MakeRamp(dib, 640, 480);
    ASSERT_TRUE(FitPicture(dib, {352, 240, FitMode::crop, {}, {}, FitRounding::up}));
    EXPECT_EQ(test::ColourAt(dib, 351, 239), (Rgb{95, 223, 7}));

    const std::uint8_t* before = dib.Header();
    ASSERT_TRUE(FitPicture(dib, {352, 240, FitMode::fillIn, {}, {}, FitRounding::up}));
    EXPECT_EQ(dib.Header(), before);
}

TEST(Fitting, FitSurfaceGivesWhatTheCopyAndFitPictureGive)
{
    const int width = 64;
    const int height = 48;
    const int pitch = width * 4 + 8;
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(pitch) * height);
    std::mt19937 random(37);
    for (auto& b : surface) {
        b = static_cast<std::uint8_t>(random());
    }
    const SurfaceRows rows{width, height, pitch, surface.data()};
    const FitRequest requests[] = {
        {72, 58, FitMode::proportional, {}, {}, FitRounding::up},
        {48, 48, FitMode::proportional, {4, 3}, {}, FitRounding::up},
        {35, 24, FitMode::proportional, {}, {}, FitRounding::up},
        {72, 58, FitMode::fillIn, {}, {}, FitRounding::up},
        {40, 40, FitMode::crop, {}, {}, FitRounding::up},
        {64, 48, FitMode::proportional, {}, {}, FitRounding::up},
    };
    TFullDib direct;
    TFullDib twoSteps;
    for (const FitRequest& request : requests) {
        ASSERT_EQ(FitSurface(direct, rows, request), SurfaceFit::ok);
        ASSERT_TRUE(twoSteps.CopyFromSurface(rows));
        ASSERT_TRUE(FitPicture(twoSteps, request));
        ASSERT_EQ(direct.BlockSize(), twoSteps.BlockSize());
        EXPECT_EQ(0, std::memcmp(direct.Header(), twoSteps.Header(), twoSteps.BlockSize()))
            << request.targetWidth << "x" << request.targetHeight;
    }
    EXPECT_EQ(FitSurface(direct, SurfaceRows{width, height, 8, surface.data()}, requests[0]), SurfaceFit::copyFailed);
    bool stop = true;
    direct.SetStopFlag(&stop);
    EXPECT_EQ(FitSurface(direct, rows, requests[0]), SurfaceFit::fitFailed);
}

TEST(Fitting, FitBandsServesReductionsInHeightWithWhatFitSurfaceGives)
{
    const int width = 64;
    const int height = 48;
    const int pitch = width * 4;
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(pitch) * height);
    std::mt19937 random(43);
    for (auto& b : surface) {
        b = static_cast<std::uint8_t>(random());
    }
    const SurfaceRows rows{width, height, pitch, surface.data()};
    struct Case {
        FitRequest request;
        bool byBands;
    };
    const Case cases[] = {
        {{35, 24, FitMode::proportional, {}, {}, FitRounding::up}, true},
        {{40, 40, FitMode::fillIn, {}, {}, FitRounding::up}, true},
        {{30, 40, FitMode::proportional, {4, 3}, {}, FitRounding::up}, true}, // pixels wider than high
        {{72, 58, FitMode::proportional, {}, {}, FitRounding::up}, false}, // enlarged
        {{96, 48, FitMode::fillIn, {}, {}, FitRounding::up}, false}, // the same height
        {{40, 40, FitMode::crop, {}, {}, FitRounding::up}, false},
        {{64, 48, FitMode::proportional, {}, {}, FitRounding::up}, false}, // already fits
    };
    TFullDib fromBands;
    TFullDib fromSurface;
    for (const Case& c : cases) {
        const FitRequest& request = c.request;
        ASSERT_EQ(FitsBands(width, height, request), c.byBands) << request.targetWidth << "x" << request.targetHeight;
        if (!c.byBands) {
            continue;
        }
        test::SurfaceBands bands(rows);
        ASSERT_TRUE(FitBands(fromBands, bands, request));
        ASSERT_EQ(FitSurface(fromSurface, rows, request), SurfaceFit::ok);
        ASSERT_EQ(fromBands.BlockSize(), fromSurface.BlockSize());
        EXPECT_EQ(0, std::memcmp(fromBands.Header(), fromSurface.Header(), fromSurface.BlockSize()));
    }
    EXPECT_FALSE(FitsBands(width, height - 1, cases[0].request));
    EXPECT_FALSE(FitsBands(0, height, cases[0].request));
}

TEST(Fitting, FitFromPackedBitmapRowsGivesWhatLoadingAndFitPictureGive)
{
    const int width = 64;
    const int height = 48;
    Bytes pixels(static_cast<std::size_t>(width) * height * 4);
    std::mt19937 random(41);
    for (auto& b : pixels) {
        b = static_cast<std::uint8_t>(random());
    }
    const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0};
    const FitRequest requests[] = {
        {35, 24, FitMode::proportional, {}, {}, FitRounding::up},
        {72, 58, FitMode::fillIn, {}, {}, FitRounding::up},
        {40, 40, FitMode::crop, {}, {}, FitRounding::up},
        {64, 48, FitMode::proportional, {}, {}, FitRounding::up},
    };
    for (const int signedHeight : {height, -height}) {
        const Bytes frame = PackedFrame(width, signedHeight, 32, 2, table, pixels);
        SurfaceRows rows;
        ASSERT_TRUE(PackedBitmapRows(frame.data(), frame.size(), rows));
        TFullDib direct;
        TFullDib loaded;
        for (const FitRequest& request : requests) {
            ASSERT_EQ(FitSurface(direct, rows, request), SurfaceFit::ok);
            ASSERT_TRUE(loaded.LoadPackedBitmap(frame.data(), frame.size()));
            ASSERT_TRUE(FitPicture(loaded, request));
            ASSERT_EQ(direct.BlockSize(), loaded.BlockSize());
            EXPECT_EQ(0, std::memcmp(direct.Header(), loaded.Header(), loaded.BlockSize()))
                << signedHeight << ": " << request.targetWidth << "x" << request.targetHeight;
        }
        SurfaceRows refused;
        EXPECT_FALSE(PackedBitmapRows(frame.data(), frame.size() - 1, refused));
    }
    const Bytes frame24 = PackedFrame(width, height, 24, 0, {}, pixels);
    SurfaceRows refused;
    EXPECT_FALSE(PackedBitmapRows(frame24.data(), frame24.size(), refused));
}

TEST(Fitting, ModeFlagsAreTestedInOrder)
{
    EXPECT_EQ(FitModeFromFlags(true, true), FitMode::fillIn);
    EXPECT_EQ(FitModeFromFlags(false, true), FitMode::crop);
    EXPECT_EQ(FitModeFromFlags(false, false), FitMode::proportional);
}

} // namespace
} // namespace discforge
