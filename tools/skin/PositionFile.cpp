#include "PositionFile.h"

namespace discforge::skin {

std::string PositionText(const SkinLayout& layout, int scale)
{
    std::string text;
    const auto number = [&text, scale](int value) { text += std::to_string(value * scale); };
    for (const LayoutEntry& entry : layout.entries) {
        const Box& box = entry.box;
        if (entry.kind == Kind::stretchColumns || entry.kind == Kind::stretchRows) {
            // Columns: left, right, top, bottom; rows: top, bottom and the unscaled weight.
            text += entry.key;
            text += '=';
            if (entry.kind == Kind::stretchColumns) {
                number(box.x);
                text += ',';
                number(box.Right());
                text += ',';
            }
            number(box.y);
            text += ',';
            number(box.Bottom());
            if (entry.kind == Kind::stretchRows) {
                text += ',';
                text += std::to_string(entry.weight);
            }
            text += ";\n";
            continue;
        }
        // Appended piece by piece: GCC 12 at -O3 warns wrongly about "," + a temporary string.
        text += entry.key;
        text += '=';
        text += std::to_string(box.x * scale);
        text += ',';
        text += std::to_string(box.y * scale);
        if (entry.kind != Kind::windowSize && entry.kind != Kind::smallestSize) {
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
