// The colours of a DVD menu: the program's own dark palette, and the contrast
// between two colours as the accessibility guidelines measure it, so that the
// labels stay readable (4.5:1 at least) on whatever stands behind them.
#pragma once

#include <cstdint>

namespace discforge {

struct MenuColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

namespace menu_colour {
inline constexpr MenuColour background{0x1f, 0x24, 0x30};
inline constexpr MenuColour plate{0x27, 0x2d, 0x3a}; // behind labels, over a user's picture too
inline constexpr MenuColour text{0xe6, 0xe9, 0xef};
inline constexpr MenuColour thumbnailFrame{0x3a, 0x42, 0x54};
inline constexpr MenuColour highlight{0x4c, 0x8d, 0xff}; // the button the arrows are on
inline constexpr MenuColour select{0xff, 0xd0, 0x4c}; // the button Enter was pressed on
} // namespace menu_colour

inline constexpr double minimumTextContrast = 4.5;

// The relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(const MenuColour& colour);
// The contrast ratio of two colours, from 1 (equal) to 21 (black and white).
double ContrastRatio(const MenuColour& first, const MenuColour& second);

} // namespace discforge
