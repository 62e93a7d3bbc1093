// The orientation a camera records in a JPEG's Exif block: how the stored rows
// must be turned or mirrored to stand upright.
#pragma once

#include <cstddef>
#include <cstdint>

namespace discforge {

// 1 as stored, 2 mirrored left-right, 3 turned half round, 4 mirrored top-bottom,
// 5 mirrored along the main diagonal, 6 turned a quarter clockwise to stand upright,
// 7 mirrored along the other diagonal, 8 turned a quarter anticlockwise.
inline constexpr int uprightOrientation = 1;

// Orientations 5 to 8 swap width and height.
inline bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The orientation tag of the first image directory of an APP1 block's contents
// (starting at "Exif\0\0"); 1 when there is none or the block is damaged.
// Nothing outside data .. data + size is read.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

} // namespace discforge
