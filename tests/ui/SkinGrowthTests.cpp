// The rules by which a skin's layout follows the window's size: the stretch
// bands read from the layout text, where rectangles land in a larger and a
// smaller window, the pieces the background is cut into, and the skins whose
// rules make no sound layout, which keep their one size.
#include "ui/SkinGrowth.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace discforge::test {
namespace {

using ui::SkinGrowth;

const QSize base(600, 400);

// Two rows: the top one widens through two columns, the bottom one through
// another two; the height grows three parts at 50..150 and one at 300..310.
const std::string rules = "StretchX1=100,200,0,200;\n"
                          "StretchX2=400,500,0,200;\n"
                          "StretchX3=100,200,200,400;\n"
                          "StretchX4=550,560,200,400;\n"
                          "StretchY1=50,150,3;\n"
                          "StretchY2=300,310,1;\n"
                          "SmallestSize=300,200;\n";

SkinGrowth Rules()
{
    const std::optional<SkinGrowth> growth = SkinGrowth::Read("MainSize=600,400;\n" + rules, base);
    if (!growth) {
        throw std::runtime_error("the test's rules were refused");
    }
    return *growth;
}

TEST(SkinGrowth, AtItsOwnSizeNothingMoves)
{
    const SkinGrowth growth = Rules();
    EXPECT_EQ(growth.Base(), base);
    EXPECT_EQ(growth.Smallest(), QSize(300, 200));
    for (const QRect& rect : {QRect(0, 0, 600, 400), QRect(120, 60, 50, 70), QRect(570, 350, 20, 20)}) {
        EXPECT_EQ(growth.Place(rect, base), rect);
        EXPECT_EQ(growth.Move(rect, base), rect);
    }
}

TEST(SkinGrowth, ALargerWindowGrowsOnlyThroughTheBandsOfEachRow)
{
    const SkinGrowth growth = Rules();
    const QSize larger(800, 600); // 200 more each way: 100 per band of a row; 150 and 50 down
    // Spanning the first band and half the first height band.
    EXPECT_EQ(growth.Place(QRect(20, 60, 180, 80), larger), QRect(20, 75, 280, 200));
    // Beyond every band of the top row: moved by the whole extra width.
    EXPECT_EQ(growth.Place(QRect(520, 10, 60, 30), larger), QRect(720, 10, 60, 30));
    // Between the two bands of the top row: moved by one share.
    EXPECT_EQ(growth.Place(QRect(250, 10, 100, 30), larger), QRect(350, 10, 100, 30));
    // The bottom row's bands: x 420 is past only the first of them.
    EXPECT_EQ(growth.Place(QRect(420, 250, 40, 30), larger), QRect(520, 400, 40, 30));
    EXPECT_EQ(growth.Place(QRect(570, 350, 20, 20), larger), QRect(770, 550, 20, 20));
}

TEST(SkinGrowth, MovedRectanglesKeepTheirSizeAcrossABand)
{
    const SkinGrowth growth = Rules();
    // An image button across the first band and the second height band.
    EXPECT_EQ(growth.Move(QRect(150, 290, 60, 40), QSize(800, 600)), QRect(200, 440, 60, 40));
    EXPECT_EQ(growth.Place(QRect(150, 290, 60, 40), QSize(800, 600)), QRect(200, 440, 110, 90));
}

TEST(SkinGrowth, ASmallerWindowScalesTheLayoutAndGrowsTheRest)
{
    const SkinGrowth growth = Rules();
    // Three quarters both ways: a plain scale.
    EXPECT_EQ(growth.Place(QRect(20, 40, 260, 150), QSize(450, 300)), QRect(15, 30, 195, 113));
    EXPECT_EQ(growth.Move(QRect(500, 350, 80, 30), QSize(450, 300)), QRect(375, 263, 60, 23));
    // Half the width and three quarters of the height: scaled by a half, and
    // the height left over (200 in the layout's numbers) goes to the bands.
    EXPECT_EQ(growth.Place(QRect(20, 60, 180, 80), QSize(300, 300)), QRect(10, 38, 90, 100));
}

TEST(SkinGrowth, StartsAtTheLargestSizeOfItsShapeThatFitsTheScreen)
{
    const SkinGrowth growth = Rules();
    EXPECT_EQ(growth.FittedInto(QSize(1920, 1080)), base) << "never larger than drawn";
    EXPECT_EQ(growth.FittedInto(QSize(450, 1000)), QSize(450, 300));
    EXPECT_EQ(growth.FittedInto(QSize(100, 100)), QSize(300, 200)) << "never below the smallest size";
}

TEST(SkinGrowth, TheBackgroundPiecesCoverTheWindowOnceAndOnlyBandsStretch)
{
    const SkinGrowth growth = Rules();
    const QSize larger(800, 600);
    long long area = 0;
    QRect covered;
    int stretched = 0;
    for (const ui::SkinCell& cell : growth.BackgroundCells(larger)) {
        area += static_cast<long long>(cell.to.width()) * cell.to.height();
        covered |= cell.to;
        if (cell.to.size() != cell.from.size()) {
            ++stretched;
        }
    }
    EXPECT_EQ(covered, QRect(QPoint(0, 0), larger));
    EXPECT_EQ(area, 800LL * 600) << "no piece overlaps another";
    EXPECT_GT(stretched, 0);
    bool foundCorner = false;
    bool foundBand = false;
    for (const ui::SkinCell& cell : growth.BackgroundCells(larger)) {
        if (cell.from == QRect(500, 0, 100, 50)) {
            foundCorner = true;
            EXPECT_EQ(cell.to, QRect(700, 0, 100, 50)) << "the top-right corner moves unstretched";
        }
        if (cell.from == QRect(100, 0, 100, 50)) {
            foundBand = true;
            EXPECT_EQ(cell.to, QRect(100, 0, 200, 50));
        }
    }
    EXPECT_TRUE(foundCorner);
    EXPECT_TRUE(foundBand);
}

TEST(SkinGrowth, RulesThatMakeNoSoundLayoutAreRefused)
{
    EXPECT_FALSE(SkinGrowth::Read("MainSize=600,400;\nconvert=1,2,3,4;\n", base)) << "an old skin keeps its size";
    // The bottom row has no horizontal band.
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=100,200,0,200;StretchY1=50,150;", base));
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=100,200,0,400;", base)) << "nothing to grow the height by";
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=100,700,0,400;StretchY1=50,150;", base)) << "outside the layout";
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=200,200,0,400;StretchY1=50,150;", base)) << "a band of no width";
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=100,200,0,400;StretchY1=50,150,0;", base)) << "a weight of nothing";
    EXPECT_FALSE(SkinGrowth::Read("StretchX1=100,200,0,400;StretchY1=50,150;SmallestSize=700,300;", base));
    const std::optional<SkinGrowth> plain = SkinGrowth::Read("StretchX1=100,200,0,400;StretchY1=50,150;", base);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Smallest(), base) << "without a smallest size the window only grows";
}

TEST(SkinGrowth, APictureIsFittedIntoItsBoxAtItsShape)
{
    EXPECT_EQ(ui::FittedRect(QSize(320, 240), QRect(32, 82, 432, 324)), QRect(32, 82, 432, 324));
    EXPECT_EQ(ui::FittedRect(QSize(384, 216), QRect(32, 82, 432, 324)), QRect(32, 122, 432, 243));
    EXPECT_EQ(ui::FittedRect(QSize(100, 100), QRect(0, 0, 400, 200)), QRect(100, 0, 200, 200));
    EXPECT_TRUE(ui::FittedRect(QSize(0, 10), QRect(0, 0, 400, 200)).isEmpty());
}

} // namespace
} // namespace discforge::test
