// The caller's 32-bit blue-green-red-X pictures as 4:2:0 YUV of the same size, BT.601 in
// the MPEG range (luma 16-235, chroma 16-240): the conversion a disc encoder needs for
// every picture, done in integers, with AVX2 where the processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace discforge::convert {

struct Yuv420Planes {
    uint8_t* y = nullptr;
    uint8_t* u = nullptr;
    uint8_t* v = nullptr;
    std::ptrdiff_t lumaStride = 0;   // bytes from one luma row to the next
    std::ptrdiff_t chromaStride = 0; // bytes from one chroma row to the next
};

// Reads `height` rows of `width` pixels from `topRow`, stepping `pixelStride` pixels to
// the row below (negative for a bottom-up picture). Width and height must be even: each
// chroma sample is the mean of a 2 x 2 block of pixels.
void ConvertBgrxToYuv420(const uint32_t* topRow, std::ptrdiff_t pixelStride, int width, int height,
                         const Yuv420Planes& planes);

} // namespace discforge::convert
