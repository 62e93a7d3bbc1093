// The contrast of the menu's colours, measured as the accessibility guidelines do.
#include "app/MenuPalette.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

TEST(MenuPalette, ContrastRatiosMatchTheGuidelinesFigures)
{
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9) << "the order does not matter";
    EXPECT_NEAR(ContrastRatio({90, 120, 200}, {90, 120, 200}), 1.0, 1e-9);
    // #767676 on white is the guidelines' well-known grey just passing 4.5:1.
    EXPECT_NEAR(ContrastRatio({0x76, 0x76, 0x76}, {255, 255, 255}), 4.54, 0.01);
    EXPECT_NEAR(RelativeLuminance({255, 0, 0}), 0.2126, 1e-9);
}

TEST(MenuPalette, TheLabelsReadWellOnTheBackgroundAndOnTheirPlates)
{
    // Worked out by hand from the sRGB formula: 12.76 and 11.34.
    EXPECT_NEAR(ContrastRatio(menu_colour::text, menu_colour::background), 12.76, 0.01);
    EXPECT_NEAR(ContrastRatio(menu_colour::text, menu_colour::plate), 11.34, 0.01);
    EXPECT_GE(ContrastRatio(menu_colour::text, menu_colour::plate), minimumTextContrast);
}

} // namespace
} // namespace discforge::test
