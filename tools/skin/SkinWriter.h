// Writes the whole skin folder: position.txt, the background, the two preview
// placeholders and one strip of four faces per image button.
#pragma once

#include <string>

#include "SkinLayout.h"

namespace discforge::skin {

inline constexpr int jpegQuality = 96;

bool WriteSkin(const SkinLayout& layout, const std::string& folder, int scale, std::string& error);

bool WriteAppIcon(const std::string& path, int pixels, std::string& error);

} // namespace discforge::skin
