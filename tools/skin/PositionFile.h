// The text of position.txt: one "key=x,y,w,h;" line per entry, in the layout's
// order ("MainSize" carries only the client width and height).
#pragma once

#include <string>

#include "SkinLayout.h"

namespace discforge::skin {

std::string PositionText(const SkinLayout& layout, int scale);

} // namespace discforge::skin
