// The sizes of a picture block, computed once in 64 bits before anything is
// allocated: every reader and every operation goes through ComputePictureLayout.
#pragma once

#include <cstdint>

namespace discforge {

// A picture block larger than this is refused as if memory had run out.
inline constexpr std::int64_t maxPictureBlockBytes = std::int64_t{256} * 1024 * 1024;
inline constexpr std::int64_t bitmapInfoHeaderBytes = 40;

struct PictureLayout {
    int width = 0;
    int height = 0;
    int depth = 0;       // 1, 4, 8, 15, 16, 24 or 32
    int bitCount = 0;    // what the header says: 16 for depth 15
    int colourCount = 0; // 2, 16, 256 or 0 entries of 4 bytes
    std::int64_t rowBytes = 0;  // unpadded bytes of one row
    std::int64_t stride = 0;    // rowBytes rounded up to a multiple of 4
    std::int64_t imageSize = 0; // stride x height
    std::int64_t blockSize = 0; // header + colour table + rows
};

enum class LayoutResult { ok, unsupportedDepth, tooLarge };

// Colour-table entries of a depth, or -1 for a depth no picture can have.
int ColourEntriesForDepth(int depth);

// Fills `layout` for a picture of width x height at `depth`. Negative sizes and
// blocks above maxPictureBlockBytes are tooLarge; zero sizes are allowed.
LayoutResult ComputePictureLayout(std::int64_t width, std::int64_t height, int depth,
                                  PictureLayout& layout);

} // namespace discforge
