// The skin's palette and type: one dark palette with one accent colour, one sans
// family in two sizes. The window's own widgets should use the same colours
// (field base, text, accent for focus and selection) so they sit calmly on it.
#pragma once

#include <QColor>
#include <QFont>

#include "SkinLayout.h"

namespace discforge::skin {

namespace colour {
inline const QColor window{0x1f, 0x24, 0x30};
inline const QColor header{0x1a, 0x1e, 0x28};
inline const QColor panel{0x27, 0x2d, 0x3a};
inline const QColor line{0x2f, 0x36, 0x46};
inline const QColor text{0xe6, 0xe9, 0xef};
inline const QColor muted{0x9a, 0xa3, 0xb2};
inline const QColor faint{0x5c, 0x65, 0x75};
inline const QColor accent{0x4c, 0x8d, 0xff};
inline const QColor accentHot{0x6a, 0xa0, 0xff};
inline const QColor accentPressed{0x3a, 0x74, 0xdb};
inline const QColor danger{0xd9, 0x44, 0x4a};
inline const QColor dangerPressed{0xb2, 0x36, 0x3c};
inline const QColor buttonFill{0x2e, 0x35, 0x45};
inline const QColor buttonHot{0x39, 0x41, 0x54};
inline const QColor buttonPressed{0x24, 0x29, 0x35};
inline const QColor buttonBorder{0x3a, 0x42, 0x54};
inline const QColor previewEmpty{0x00, 0x00, 0x00};
inline const QColor previewGlyph{0x33, 0x39, 0x46};
} // namespace colour

inline constexpr int smallTextPixels = 12;
inline constexpr int largeTextPixels = 15;
inline constexpr const char* fontFamily = "DejaVu Sans";

QFont SkinFont(int pixels, bool bold);
QFont FontFor(TextStyle style);
QColor ColourFor(TextStyle style);

// Registers the DejaVu Sans files with Qt, so the skin never falls back to
// whatever font the machine happens to offer. False when they are missing.
bool LoadSkinFonts();

} // namespace discforge::skin
