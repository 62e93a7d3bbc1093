// Proportional fitting in the shape the TV shows: the frame's pixels and the
// source's pixels each have their own shape. The expected sizes are worked out
// by hand from the display shapes (4:3 or 16:9) and the frame sizes.
#include <gtest/gtest.h>

#include "picture/PictureFitting.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

struct Example {
    const char* what;
    int pictureWidth;
    int pictureHeight;
    Ratio sourcePixel;
    int frameWidth;
    int frameHeight;
    Ratio framePixel;
    int width; // expected picture size in frame pixels
    int height;
};

TEST(DisplayFitting, FourByThreeSourcesFillEveryFourByThreeFrame)
{
    // A 4:3 picture on a 4:3 screen fills it, whatever the frame's pixel count.
    const Example examples[] = {
        {"NTSC VCD", 640, 480, {1, 1}, 352, 240, {10, 11}, 352, 240},
        {"PAL VCD", 640, 480, {1, 1}, 352, 288, {12, 11}, 352, 288},
        {"NTSC SVCD", 640, 480, {1, 1}, 480, 480, {4, 3}, 480, 480},
        {"PAL SVCD", 640, 480, {1, 1}, 480, 576, {8, 5}, 480, 576},
        {"NTSC DVD", 640, 480, {1, 1}, 720, 480, {8, 9}, 720, 480},
        {"PAL DVD", 640, 480, {1, 1}, 720, 576, {16, 15}, 720, 576},
    };
    for (const Example& e : examples) {
        for (const FitRounding rounding : {FitRounding::up, FitRounding::down}) {
            const FitPlan plan = PlanFit(e.pictureWidth, e.pictureHeight,
                {e.frameWidth, e.frameHeight, FitMode::proportional, e.framePixel, e.sourcePixel, rounding});
            EXPECT_EQ(plan.width, e.width) << e.what;
            EXPECT_EQ(plan.height, e.height) << e.what;
            EXPECT_EQ(plan.frameWidth, e.frameWidth) << e.what;
            EXPECT_EQ(plan.frameHeight, e.frameHeight) << e.what;
        }
    }
}

TEST(DisplayFitting, WideSourcesLetterboxOnFourByThreeAndFillSixteenByNine)
{
    // 16:9 in 4:3 keeps three quarters of the lines: 432 of 576, 360 of 480.
    // 4:3 in 16:9 keeps three quarters of the columns: 540 of 720.
    const Example examples[] = {
        {"720p on 4:3 PAL DVD", 1280, 720, {1, 1}, 720, 576, {16, 15}, 720, 432},
        {"720p on 4:3 NTSC DVD", 1280, 720, {1, 1}, 720, 480, {8, 9}, 720, 360},
        {"720p on 16:9 PAL DVD", 1280, 720, {1, 1}, 720, 576, {64, 45}, 720, 576},
        {"720p on 16:9 NTSC DVD", 1280, 720, {1, 1}, 720, 480, {32, 27}, 720, 480},
        {"720p on 4:3 PAL SVCD", 1280, 720, {1, 1}, 480, 576, {8, 5}, 480, 432},
        {"720p on PAL VCD", 1280, 720, {1, 1}, 352, 288, {12, 11}, 352, 216},
        {"wide DV on 16:9 PAL DVD", 720, 576, {64, 45}, 720, 576, {64, 45}, 720, 576},
        {"wide DV on 4:3 PAL DVD", 720, 576, {64, 45}, 720, 576, {16, 15}, 720, 432},
        {"HDV on 16:9 NTSC DVD", 1440, 1080, {4, 3}, 720, 480, {32, 27}, 720, 480},
        {"HDV on 4:3 PAL DVD", 1440, 1080, {4, 3}, 720, 576, {16, 15}, 720, 432},
        {"4:3 on 16:9 PAL DVD", 640, 480, {1, 1}, 720, 576, {64, 45}, 540, 576},
        {"4:3 DV on 16:9 NTSC DVD", 720, 480, {8, 9}, 720, 480, {32, 27}, 540, 480},
    };
    for (const Example& e : examples) {
        const FitPlan plan = PlanFit(e.pictureWidth, e.pictureHeight,
            {e.frameWidth, e.frameHeight, FitMode::proportional, e.framePixel, e.sourcePixel, FitRounding::up});
        EXPECT_EQ(plan.width, e.width) << e.what;
        EXPECT_EQ(plan.height, e.height) << e.what;
    }
}

TEST(DisplayFitting, UprightPhonePicturesStandOnBlackSides)
{
    // 720 x 1280 shown 9:16 on a 4:3 PAL frame: 576 lines, and 9/16 of 576
    // square lines are 324 wide, which is 324 x 15/16 = 303.75 frame pixels.
    const FitRequest up{720, 576, FitMode::proportional, {16, 15}, {1, 1}, FitRounding::up};
    FitRequest down = up;
    down.rounding = FitRounding::down;
    EXPECT_EQ(PlanFit(720, 1280, up).width, 304);
    EXPECT_EQ(PlanFit(720, 1280, down).width, 303);
    EXPECT_EQ(PlanFit(720, 1280, up).height, 576);
}

TEST(DisplayFitting, AnOddSizeRoundsUpForTheSupplyAndDownForThePreview)
{
    // 1000 x 701 on NTSC VCD: 352 columns; 701/1000 of 352 x 10/11 lines is 224.32.
    const FitRequest up{352, 240, FitMode::proportional, {10, 11}, {}, FitRounding::up};
    FitRequest down = up;
    down.rounding = FitRounding::down;
    EXPECT_EQ(PlanFit(1000, 701, up).height, 225);
    EXPECT_EQ(PlanFit(1000, 701, down).height, 224);
    EXPECT_EQ(PlanFit(1000, 701, up).width, 352);
}

TEST(DisplayFitting, UnusablePixelShapesCountAsSquare)
{
    const FitPlan zero = PlanFit(640, 480, {352, 240, FitMode::proportional, {0, 1}, {5, 0}, FitRounding::up});
    EXPECT_EQ(zero.width, 320);
    EXPECT_EQ(zero.height, 240);
    const FitPlan negative = PlanFit(640, 480, {352, 240, FitMode::proportional, {-3, 1}, {1, -1}, FitRounding::up});
    EXPECT_EQ(negative.width, 320);
}

TEST(DisplayFitting, HugePixelShapesNeitherOverflowNorLeaveTheFrame)
{
    const int most = 2147483647;
    const FitPlan thin
        = PlanFit(268435456, 1, {720, 576, FitMode::proportional, {most, 1}, {1, most}, FitRounding::up});
    EXPECT_GE(thin.width, 0);
    EXPECT_LE(thin.width, 720);
    EXPECT_GE(thin.height, 0);
    EXPECT_LE(thin.height, 576);
}

TEST(DisplayFitting, FillInAndCropIgnoreThePixelShapes)
{
    const FitPlan fill = PlanFit(1280, 720, {720, 576, FitMode::fillIn, {16, 15}, {4, 3}, FitRounding::up});
    EXPECT_EQ(fill.width, 720);
    EXPECT_EQ(fill.height, 576);
    const FitPlan cut = PlanFit(1280, 720, {720, 576, FitMode::crop, {16, 15}, {4, 3}, FitRounding::up});
    EXPECT_EQ(cut.mode, FitMode::crop);
    EXPECT_EQ(cut.width, 720);
    EXPECT_EQ(cut.height, 576);
}

TEST(DisplayFitting, AWideDvPictureIsLetterboxedOnAFourByThreeFrame)
{
    TFullDib dib;
    ASSERT_TRUE(dib.CreateBlank(720, 576));
    for (int r = 0; r < 576; ++r) {
        for (int x = 0; x < 720; ++x) {
            dib.Row(r)[4 * x + 2] = 200;
        }
    }
    ASSERT_TRUE(FitPicture(dib, {720, 576, FitMode::proportional, {16, 15}, {64, 45}, FitRounding::up}));
    ASSERT_EQ(dib.Height(), 576);
    // 432 picture lines centred: 72 black lines above and below.
    EXPECT_EQ(dib.Row(71)[4 * 360 + 2], 0);
    EXPECT_GT(dib.Row(72)[4 * 360 + 2], 100);
    EXPECT_GT(dib.Row(503)[4 * 360 + 2], 100);
    EXPECT_EQ(dib.Row(504)[4 * 360 + 2], 0);
    EXPECT_GT(dib.Row(300)[2], 100);
    EXPECT_GT(dib.Row(300)[4 * 719 + 2], 100);
}

} // namespace
} // namespace discforge
