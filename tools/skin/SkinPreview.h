// A debugging aid, not part of the skin: the written skin with stand-ins of the
// window's own widgets at their places and every image button showing one face,
// saved as a PNG to judge the look at the skin's scale.
#pragma once

#include <string>

#include "SkinLayout.h"

namespace discforge::skin {

bool WritePreview(const SkinLayout& layout, const std::string& skinFolder, int scale, int face,
    const std::string& pngPath, std::string& error);

// The palette the preview gives the stand-in widgets; the window's widgets look
// right on the skin with the same colours.
void UseSkinPalette();

} // namespace discforge::skin
