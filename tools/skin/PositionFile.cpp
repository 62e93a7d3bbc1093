#include "PositionFile.h"

namespace discforge::skin {

std::string PositionText(const SkinLayout& layout, int scale)
{
    std::string text;
    for (const LayoutEntry& entry : layout.entries) {
        const Box& box = entry.box;
        // Appended piece by piece: GCC 12 at -O3 warns wrongly about "," + a temporary string.
        text += entry.key;
        text += '=';
        text += std::to_string(box.x * scale);
        text += ',';
        text += std::to_string(box.y * scale);
        if (entry.kind != Kind::windowSize) {
            text += ',';
            text += std::to_string(box.w * scale);
            text += ',';
            text += std::to_string(box.h * scale);
        }
        text += ";\n";
    }
    return text;
}

} // namespace discforge::skin
