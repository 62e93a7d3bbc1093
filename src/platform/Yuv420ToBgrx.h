// Planar 4:2:0 pictures (BT.601, video range) to 32-bit BGRX rows, giving the
// bytes of the picture converter's own SIMD conversion between them. That
// conversion works per pixel in 16-bit steps:
//   y = hi((8Y - 128) x 9539)   u = 8U - 1024   v = 8V - 1024
//   B = y + hi(u x 16525)   G = y + hi(u x -3209) + hi(v x -6660)   R = y + hi(v x 13075)
// where hi() keeps the upper 16 bits of the 32-bit product (rounding down) and
// each colour clamps to 0..255; each chroma sample serves the two pixels beside
// it on two rows. The converter takes that route only for pictures
// of even height kept at their size, and writes 255 as the fourth byte; this one
// writes the fourth byte as told, 32 pixels at a time on processors with AVX2.
#pragma once

#include <cstddef>
#include <cstdint>

namespace discforge {

struct Yuv420Planes {
    const std::uint8_t* luma;
    const std::uint8_t* blue; // Cb
    const std::uint8_t* red; // Cr
    std::ptrdiff_t lumaPitch;
    std::ptrdiff_t bluePitch;
    std::ptrdiff_t redPitch;
};

// Whether this processor runs the wide conversion: without it, the converter's
// own is the faster.
bool Yuv420ToBgrxAvailable();

// Row r of the picture goes to `firstRow` + r x `pitch` (a negative pitch
// stores upwards).
void Yuv420ToBgrx(const Yuv420Planes& planes, int width, int height, std::uint8_t* firstRow, std::ptrdiff_t pitch,
    std::uint8_t fourth);

} // namespace discforge
