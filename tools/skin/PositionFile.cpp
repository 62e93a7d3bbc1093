#include "PositionFile.h"

namespace discforge::skin {

std::string PositionText(const SkinLayout& layout, int scale)
{
    std::string text;
    for (const LayoutEntry& entry : layout.entries) {
        const Box& box = entry.box;
        text += entry.key + "=" + std::to_string(box.x * scale) + "," + std::to_string(box.y * scale);
        if (entry.kind != Kind::windowSize) {
            text += "," + std::to_string(box.w * scale) + "," + std::to_string(box.h * scale);
        }
        text += ";\n";
    }
    return text;
}

} // namespace discforge::skin
