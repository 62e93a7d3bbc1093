// How the default skin grows: its stretch strips come after every control's
// entry (keys are found by substring), lie inside the window, and cross only
// plain surface of the background, so no caption, heading or line is
// stretched when the window grows.
#include "skin/SkinFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

// JPEG at the skin's quality leaves a few levels of noise on plain surface.
constexpr int plainTolerance = 12;

struct Strips {
    std::vector<LayoutValue> columns;
    std::vector<LayoutValue> rows;
};

Strips StripsOf(const std::string& text)
{
    Strips strips;
    for (int n = 1; n <= 8; ++n) {
        const LayoutValue x = LookUp(text, "StretchX" + std::to_string(n));
        if (x.found) {
            strips.columns.push_back(x);
        }
        const LayoutValue y = LookUp(text, "StretchY" + std::to_string(n));
        if (y.found) {
            strips.rows.push_back(y);
        }
    }
    return strips;
}

int Difference(const Picture& picture, int x0, int y0, int x1, int y1)
{
    int a[3];
    int b[3];
    picture.Rgb(x0, y0, a);
    picture.Rgb(x1, y1, b);
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

class CommittedGrowth : public testing::Test {
protected:
    std::string text = ReadWholeFile(CommittedSkin() + "/position.txt");
    Strips strips = StripsOf(text);
};

TEST_F(CommittedGrowth, ComesAfterEveryControlAndStaysInsideTheWindow)
{
    ASSERT_GE(strips.columns.size(), 2u);
    ASSERT_GE(strips.rows.size(), 1u);
    std::size_t last = 0;
    for (const std::string& key : SkinKeys()) {
        last = std::max(last, LookUp(text, key).at);
    }
    const LayoutValue size = LookUp(text, "MainSize");
    for (const LayoutValue& strip : strips.columns) {
        EXPECT_GT(strip.at, last);
        ASSERT_EQ(strip.count, 4);
        EXPECT_TRUE(0 <= strip.n[0] && strip.n[0] < strip.n[1] && strip.n[1] <= size.n[0]);
        EXPECT_TRUE(0 <= strip.n[2] && strip.n[2] < strip.n[3] && strip.n[3] <= size.n[1]);
    }
    for (const LayoutValue& strip : strips.rows) {
        EXPECT_GT(strip.at, last);
        ASSERT_EQ(strip.count, 3);
        EXPECT_TRUE(0 <= strip.n[0] && strip.n[0] < strip.n[1] && strip.n[1] <= size.n[1]);
        EXPECT_GE(strip.n[2], 1) << "a weight";
    }
    const LayoutValue smallest = LookUp(text, "SmallestSize");
    ASSERT_EQ(smallest.count, 2);
    // At twice the size it fits a screen of 1600 x 1000.
    EXPECT_LE(smallest.n[0] * 2, 1600);
    EXPECT_LE(smallest.n[1] * 2, 1000);
}

TEST_F(CommittedGrowth, TheStripsCrossOnlyPlainSurfaceOfTheBackground)
{
    Picture background;
    ASSERT_TRUE(background.Load(CommittedSkin() + "/interface.jpg")) << background.Error();
    for (const LayoutValue& strip : strips.columns) {
        // Each row of a widening strip is one colour across it.
        int worst = 0;
        for (int y = strip.n[2]; y < strip.n[3]; ++y) {
            for (int x = strip.n[0]; x < strip.n[1]; ++x) {
                worst = std::max(worst, Difference(background, x, y, strip.n[0], y));
            }
        }
        EXPECT_LE(worst, plainTolerance) << "StretchX from x " << strip.n[0] << ", y " << strip.n[2];
    }
    for (const LayoutValue& strip : strips.rows) {
        // Each column of a heightening strip is one colour down it.
        int worst = 0;
        for (int x = 0; x < background.Width(); ++x) {
            for (int y = strip.n[0]; y < strip.n[1]; ++y) {
                worst = std::max(worst, Difference(background, x, y, x, strip.n[0]));
            }
        }
        EXPECT_LE(worst, plainTolerance) << "StretchY from y " << strip.n[0];
    }
}

} // namespace
} // namespace discforge::test
