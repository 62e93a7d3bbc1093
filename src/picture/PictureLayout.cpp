#include "picture/PictureLayout.h"

namespace discforge {

int ColourEntriesForDepth(int depth)
{
    switch (depth) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 15:
    case 16:
    case 24:
    case 32: return 0;
    default: return -1;
    }
}

LayoutResult ComputePictureLayout(std::int64_t width, std::int64_t height, int depth,
                                  PictureLayout& layout)
{
    const int entries = ColourEntriesForDepth(depth);
    if (entries < 0) {
        return LayoutResult::unsupportedDepth;
    }
    // Any side above this makes a block far beyond the limit; checking it first
    // keeps every product below within 64 bits.
    constexpr std::int64_t maxSide = maxPictureBlockBytes;
    if (width < 0 || height < 0 || width > maxSide || height > maxSide) {
        return LayoutResult::tooLarge;
    }
    const int bitCount = depth == 15 ? 16 : depth;
    const std::int64_t stride = ((width * bitCount + 31) & ~std::int64_t{31}) / 8;
    const std::int64_t imageSize = stride * height;
    const std::int64_t blockSize = bitmapInfoHeaderBytes + 4 * entries + imageSize;
    if (blockSize > maxPictureBlockBytes) {
        return LayoutResult::tooLarge;
    }
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.depth = depth;
    layout.bitCount = bitCount;
    layout.colourCount = entries;
    layout.rowBytes = (width * bitCount + 7) / 8;
    layout.stride = stride;
    layout.imageSize = imageSize;
    layout.blockSize = blockSize;
    return LayoutResult::ok;
}

} // namespace discforge
