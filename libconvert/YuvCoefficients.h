// BT.601 luma and colour differences scaled to the MPEG range (219 and 224 of 255), in
// units of 1/65536, with the offsets that round: what every row conversion shares.
#pragma once

#include <cstdint>

namespace discforge::convert::yuv {

constexpr int fractionBits = 16;
constexpr int32_t yRed = 16829;   // 0.299 * 219 / 255
constexpr int32_t yGreen = 33039; // 0.587 * 219 / 255
constexpr int32_t yBlue = 6416;   // 0.114 * 219 / 255
constexpr int32_t uRed = -9714;   // -0.168736 * 224 / 255
constexpr int32_t uGreen = -19070;
constexpr int32_t uBlue = 28784; // 0.5 * 224 / 255
constexpr int32_t vRed = 28784;
constexpr int32_t vGreen = -24103; // -0.418688 * 224 / 255
constexpr int32_t vBlue = -4681;   // -0.081312 * 224 / 255
// Each chroma row sums to 0, so that grey stays exactly at 128.
static_assert(uRed + uGreen + uBlue == 0 && vRed + vGreen + vBlue == 0);

// Luma from one pixel, chroma from the sum of four.
constexpr int32_t lumaOffset = (16 << fractionBits) + (1 << (fractionBits - 1));
constexpr int sumBits = fractionBits + 2;
constexpr int32_t chromaOffset = (128 << sumBits) + (1 << (sumBits - 1));
// White stays below 256 and the most negative colour difference above 0, so no clamping.
static_assert(((yRed + yGreen + yBlue) * 255 + lumaOffset) >> fractionBits <= 235);
static_assert(uRed * 4 * 255 + uGreen * 4 * 255 + chromaOffset > 0);
static_assert(vGreen * 4 * 255 + vBlue * 4 * 255 + chromaOffset > 0);

} // namespace discforge::convert::yuv
