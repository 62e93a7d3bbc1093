#include "BgrxRows.h"

#include "YuvCoefficients.h"

#include <bit>

namespace discforge::convert {

using namespace yuv;

static_assert(std::endian::native == std::endian::little,
              "a pixel read as one 32-bit word holds blue in its lowest byte");

void LumaRowPlain(const uint32_t* __restrict pixels, uint8_t* __restrict luma, int width)
{
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = pixels[x];
        const auto blue = static_cast<int32_t>(pixel & 0xFF);
        const auto green = static_cast<int32_t>((pixel >> 8) & 0xFF);
        const auto red = static_cast<int32_t>((pixel >> 16) & 0xFF);
        luma[x] = static_cast<uint8_t>((yRed * red + yGreen * green + yBlue * blue + lumaOffset) >> fractionBits);
    }
}

// Blue and red of four pixels are summed in the two 16-bit halves of one word (at most
// 4 x 255 each), green in another.
void ChromaRowPlain(const uint32_t* __restrict upper, const uint32_t* __restrict lower, uint8_t* __restrict u,
                    uint8_t* __restrict v, int chromaWidth)
{
    constexpr uint32_t lowBytes = 0x00FF00FF;
    for (int x = 0; x < chromaWidth; ++x) {
        const uint32_t a = upper[2 * x];
        const uint32_t b = upper[2 * x + 1];
        const uint32_t c = lower[2 * x];
        const uint32_t d = lower[2 * x + 1];
        const uint32_t blueRed = (a & lowBytes) + (b & lowBytes) + (c & lowBytes) + (d & lowBytes);
        const uint32_t greenX = ((a >> 8) & lowBytes) + ((b >> 8) & lowBytes) + ((c >> 8) & lowBytes) +
                                ((d >> 8) & lowBytes);
        const auto blue = static_cast<int32_t>(blueRed & 0xFFFF);
        const auto red = static_cast<int32_t>(blueRed >> 16);
        const auto green = static_cast<int32_t>(greenX & 0xFFFF);
        u[x] = static_cast<uint8_t>((uRed * red + uGreen * green + uBlue * blue + chromaOffset) >> sumBits);
        v[x] = static_cast<uint8_t>((vRed * red + vGreen * green + vBlue * blue + chromaOffset) >> sumBits);
    }
}

} // namespace discforge::convert
