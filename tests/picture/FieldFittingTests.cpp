// Fitting a picture of two fields scales each field on its own: rows of one field
// never reach the other's, and the proportions on the TV are those of the whole frame.
#include "PictureFiles.h"
#include "picture/FieldFitting.h"
#include "picture/PictureFitting.h"
#include "picture/TFullDib.h"

#include <gtest/gtest.h>

#include <cstring>

namespace discforge {
namespace {

// The colour at column x of frame row y, counted from the top.
test::Rgb TopDownColour(const TBaseDib& picture, int x, int y)
{
    return test::ColourAt(picture, x, picture.Height() - 1 - y);
}

// White and black give or take the scaler's rounding.
bool White(const test::Rgb& colour) { return colour.red >= 250 && colour.green >= 250 && colour.blue >= 250; }
bool Black(const test::Rgb& colour) { return colour.red <= 5 && colour.green <= 5 && colour.blue <= 5; }

// The top field white, the bottom field black, as a picture of a flash caught by one field.
void MakeWovenFields(TFullDib& dib, int width, int height)
{
    ASSERT_TRUE(dib.CreateBlank(width, height));
    for (int y = 0; y < height; y += 2) {
        // Rows are stored bottom up: frame row y from the top is stored row height - 1 - y.
        std::memset(dib.Row(height - 1 - y), 0xFF, static_cast<std::size_t>(width) * 4);
    }
}

TEST(FieldFitting, ScalesEachFieldApartAndKeepsTheFrameProportions)
{
    TFullDib woven;
    FieldFitting fields;
    MakeWovenFields(woven, 1920, 1080);
    // 16:9 square pixels into a PAL frame shown 16:9 (pixels 64:45): it fills the frame.
    const FitRequest request{720, 576, FitMode::proportional, {64, 45}, {1, 1}, FitRounding::up};
    ASSERT_TRUE(fields.Fit(woven, request));
    ASSERT_EQ(woven.Width(), 720);
    ASSERT_EQ(woven.Height(), 576);
    for (int y = 0; y < 576; ++y) {
        const test::Rgb colour = TopDownColour(woven, 360, y);
        ASSERT_TRUE(y % 2 == 0 ? White(colour) : Black(colour)) << "row " << y;
    }

    // The whole frame's fitting blends the fields into grey, which is what is avoided.
    TFullDib blended;
    MakeWovenFields(blended, 1920, 1080);
    ASSERT_TRUE(FitPicture(blended, request));
    const test::Rgb middle = TopDownColour(blended, 360, 288);
    EXPECT_GT(middle.red, 40);
    EXPECT_LT(middle.red, 215);

    // A 4:3 picture of 1440 x 1080 into the same frame: bands left and right where the
    // whole frame's fitting puts them.
    TFullDib narrow;
    MakeWovenFields(narrow, 1440, 1080);
    TFullDib whole;
    MakeWovenFields(whole, 1440, 1080);
    const FitRequest fourByThree{720, 576, FitMode::proportional, {64, 45}, {1, 1}, FitRounding::up};
    ASSERT_TRUE(fields.Fit(narrow, fourByThree));
    ASSERT_TRUE(FitPicture(whole, fourByThree));
    ASSERT_EQ(narrow.Width(), whole.Width());
    ASSERT_EQ(narrow.Height(), whole.Height());
    for (int x = 0; x < 720; x += 4) {
        // The bottom field is black throughout; the top field's picture ends where the bands begin.
        EXPECT_TRUE(Black(TopDownColour(narrow, x, 1))) << "column " << x;
        const bool band = Black(TopDownColour(whole, x, 288)) && Black(TopDownColour(whole, x, 289));
        EXPECT_EQ(Black(TopDownColour(narrow, x, 0)), band) << "column " << x;
    }
}

TEST(FieldFitting, APictureOfTheFramesHeightOrOfAnOddOneIsFittedWhole)
{
    TFullDib woven;
    FieldFitting fields;
    MakeWovenFields(woven, 720, 576);
    ASSERT_TRUE(fields.Fit(woven, {480, 576, FitMode::fillIn, {}, {}, FitRounding::up}));
    ASSERT_EQ(woven.Width(), 480);
    for (int y = 0; y < 8; ++y) {
        const test::Rgb colour = TopDownColour(woven, 240, y);
        EXPECT_TRUE(y % 2 == 0 ? White(colour) : Black(colour)) << "row " << y;
    }
    TFullDib odd;
    MakeWovenFields(odd, 64, 101);
    TFullDib oddWhole;
    MakeWovenFields(oddWhole, 64, 101);
    const FitRequest request{64, 50, FitMode::fillIn, {}, {}, FitRounding::up};
    ASSERT_TRUE(fields.Fit(odd, request));
    ASSERT_TRUE(FitPicture(oddWhole, request));
    EXPECT_EQ(std::memcmp(odd.Pixels(), oddWhole.Pixels(), static_cast<std::size_t>(odd.Stride()) * 50), 0);
}

} // namespace
} // namespace discforge
