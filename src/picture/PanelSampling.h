// Turning the kept pixels of one source row into the panel's blue, green, red.
#pragma once

#include <cstdint>

#include "picture/BmpReader.h"

namespace discforge {

enum class SourcePixels {
    index1, // palette indices, most significant bit first
    index4, // palette indices, high nibble first
    index8, // palette indices
    words555, // little-endian words, red in bits 10-14; the low three bits of each channel become 0
    bgr24, // blue, green, red
    bgrx32, // blue, green, red, X
    bmpMasks, // 16- or 32-bit BMP pixels split by the file's channel masks
};

struct SourceFormat {
    SourcePixels pixels = SourcePixels::bgr24;
    const std::uint8_t* table = nullptr; // for the palette kinds: 256 entries of blue, green, red, 0
    const BmpMasks* masks = nullptr; // for bmpMasks: each channel scaled to 8 bits
    int bmpBitCount = 0; // for bmpMasks: 16 or 32
};

// Writes `count` pixels of 3 bytes to `target`: source pixels 0, step, 2 step, ...
// The source row must hold at least (count - 1) x step + 1 pixels.
void SampleRow(const std::uint8_t* source, const SourceFormat& format, int step, int count, std::uint8_t* target);

} // namespace discforge
