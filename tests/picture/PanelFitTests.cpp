// How pictures are reduced to fit a preview panel: the worked sizes, and the
// room every reduced picture must leave inside its panel.
#include <gtest/gtest.h>

#include "picture/PanelFit.h"

namespace discforge {
namespace {

struct FitCase {
    int width, height, panelWidth, panelHeight;
    PanelFit expected; // steps, shown size, offsets, kept columns and rows
};

TEST(PanelFit, WorkedSizes)
{
    const FitCase cases[] = {
        // Inside the panel less one pixel: every pixel, centred.
        {159, 119, 160, 120, {1, 1, 159, 119, 0, 0, 159, 119}},
        {100, 50, 160, 120, {1, 1, 100, 50, 30, 35, 100, 50}},
        // As wide as the panel: no longer inside, so reduced.
        {160, 119, 160, 120, {2, 2, 80, 60, 40, 30, 80, 60}},
        {720, 480, 160, 120, {5, 5, 144, 96, 8, 12, 144, 96}},
        // The shape check raises the vertical step; the rounding leaves one
        // kept row more than the shown height.
        {1000, 10, 200, 150, {6, 7, 167, 1, 16, 74, 167, 2}},
        {640, 480, 200, 150, {4, 4, 160, 120, 20, 15, 160, 120}},
        {10, 1000, 200, 150, {10, 7, 1, 143, 99, 3, 1, 143}},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(FitToPanel(c.width, c.height, c.panelWidth, c.panelHeight), c.expected)
            << c.width << " x " << c.height << " in " << c.panelWidth << " x " << c.panelHeight;
    }
}

TEST(PanelFit, EmptyPicturesKeepNothing)
{
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}}) {
        const PanelFit fit = FitToPanel(width, height, 160, 120);
        EXPECT_EQ(fit.keptColumns * fit.keptRows, 0) << width << " x " << height;
    }
}

TEST(PanelFit, EveryReducedPictureLeavesItsRowsAndColumnsInsideThePanel)
{
    const std::pair<int, int> panels[] = {{160, 120}, {200, 150}, {7, 5}, {1, 1}, {3, 8}};
    for (const auto& [panelWidth, panelHeight] : panels) {
        for (int width = 1; width < 700; width += 3) {
            for (int height = 1; height < 700; height += 5) {
                const PanelFit fit = FitToPanel(width, height, panelWidth, panelHeight);
                // Kept pixels and rows go from the offsets right- and upward.
                ASSERT_LE(fit.horizontalOffset + fit.keptColumns, panelWidth) << width << " x " << height;
                ASSERT_LE(fit.verticalOffset + fit.keptRows, panelHeight) << width << " x " << height;
                ASSERT_EQ(fit.keptColumns, (width + fit.horizontalStep - 1) / fit.horizontalStep);
                ASSERT_EQ(fit.keptRows, (height + fit.verticalStep - 1) / fit.verticalStep);
                ASSERT_GE(fit.horizontalOffset, 0);
                ASSERT_GE(fit.verticalOffset, 0);
            }
        }
    }
}

TEST(PanelFit, HugePicturesGiveUsableSteps)
{
    const PanelFit fit = FitToPanel(2147483000, 3, 160, 120);
    EXPECT_GE(fit.horizontalStep, 1);
    EXPECT_LE(fit.horizontalOffset + fit.keptColumns, 160);
}

} // namespace
} // namespace discforge
